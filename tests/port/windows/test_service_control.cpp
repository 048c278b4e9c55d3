// The service control and the device open against the real Windows calls (run under Wine in
// CI): Wine's service control manager answers with the system's own codes.
#include <gtest/gtest.h>

#include "TrackingOs.h"
#include "ddkint.h"
#include "zlportio.h"

namespace {

constexpr const char* kTestService = "tamselddktest";

class ServiceControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        port::UseOs(os);
        ServiceRemove(kTestService); // a leftover of an interrupted run
        os.open.clear();
    }
    void TearDown() override { ServiceRemove(kTestService); }

    void ExpectAllClosed()
    {
        EXPECT_TRUE(os.open.empty()) << os.open.size() << " handle(s) left open";
        EXPECT_EQ(os.strayCloses, 0);
    }
    wintest::TrackingOs os;
};

TEST(WindowsOs, IsOfTheNtFamilyAndKnowsItsExecutable)
{
    port::WindowsOs os;
    EXPECT_EQ(os.PlatformId(), port::kVerPlatformWin32Nt);
    std::string path = os.ExecutablePath();
    ASSERT_GT(path.size(), 3u);
    EXPECT_EQ(path.substr(1, 2), ":\\") << path;
    EXPECT_EQ(path.substr(path.size() - 4), ".exe") << path;
}

TEST_F(ServiceControlTest, InstallStartStopRemoveReturnTheSystemCodes)
{
    // The driver file does not exist: the install succeeds, the start cannot load it.
    std::string path = os.ExecutablePath() + ".missing.sys";
    struct Step {
        const char* what;
        std::uint32_t (*run)(const std::string&);
        bool failureExpected;
        std::uint32_t code; // checked when not 0
    };
    const Step steps[] = {
        {"install", [](const std::string& p) { return ServiceInstall(p.c_str(), kTestService); },
         false, 0},
        {"install again", [](const std::string& p) { return ServiceInstall(p.c_str(), kTestService); },
         true, port::kErrorServiceExists},
        {"start without the driver file", [](const std::string&) { return ServiceStart(kTestService); },
         true, 0},
        {"stop while stopped", [](const std::string&) { return ServiceStop(kTestService); },
         true, port::kErrorServiceNotActive},
        {"remove", [](const std::string&) { return ServiceRemove(kTestService); }, false, 0},
        {"remove again", [](const std::string&) { return ServiceRemove(kTestService); },
         true, port::kErrorServiceDoesNotExist},
        {"start a missing one", [](const std::string&) { return ServiceStart(kTestService); },
         true, port::kErrorServiceDoesNotExist},
        {"stop a missing one", [](const std::string&) { return ServiceStop(kTestService); },
         true, port::kErrorServiceDoesNotExist},
        // Every handle of the removal was closed, so the name is free again at once (a handle
        // left open would keep the old service marked for deletion: 1072).
        {"install after removal", [](const std::string& p) { return ServiceInstall(p.c_str(), kTestService); },
         false, 0},
    };
    for (const Step& step : steps) {
        std::uint32_t code = step.run(path);
        if (step.failureExpected) {
            EXPECT_NE(code, 0u) << step.what;
            if (step.code != 0) {
                EXPECT_EQ(code, step.code) << step.what;
            }
        } else {
            EXPECT_EQ(code, 0u) << step.what;
        }
        ExpectAllClosed();
    }
}

TEST_F(ServiceControlTest, DeviceOpenWithoutTheDriverFails)
{
    port::Handle handle = port::kNullHandle;
    EXPECT_FALSE(DeviceOpen(handle));
    EXPECT_EQ(handle, port::kInvalidHandle);
    EXPECT_EQ(os.GetLastError(), port::kErrorFileNotFound);
}

} // namespace
