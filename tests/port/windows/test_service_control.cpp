// The service control and the device open against the real Windows calls (run under Wine in
// CI): Wine's service control manager answers with the system's own codes.
#include <gtest/gtest.h>

#include <functional>

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
    const std::string path = os.ExecutablePath() + ".missing.sys";
    const auto install = [&] { return ServiceInstall(path.c_str(), kTestService); };
    const auto start = [] { return ServiceStart(kTestService); };
    const auto stop = [] { return ServiceStop(kTestService); };
    const auto remove = [] { return ServiceRemove(kTestService); };
    constexpr std::uint32_t kAnyFailure = ~0u;
    const struct {
        const char* what;
        std::function<std::uint32_t()> run;
        std::uint32_t code;
    } steps[] = {
        {"install", install, 0},
        {"install again", install, port::kErrorServiceExists},
        {"start without the driver file", start, kAnyFailure},
        {"stop while stopped", stop, port::kErrorServiceNotActive},
        {"remove", remove, 0},
        {"remove again", remove, port::kErrorServiceDoesNotExist},
        {"start a missing one", start, port::kErrorServiceDoesNotExist},
        {"stop a missing one", stop, port::kErrorServiceDoesNotExist},
        // Every handle of the removal was closed, so the name is free again at once (a handle
        // left open would keep the old service marked for deletion: 1072).
        {"install after removal", install, 0},
    };
    for (const auto& step : steps) {
        const std::uint32_t code = step.run();
        if (step.code == kAnyFailure)
            EXPECT_NE(code, 0u) << step.what;
        else
            EXPECT_EQ(code, step.code) << step.what;
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
