#include <gtest/gtest.h>

#include "FakeOs.h"
#include "ddkint.h"

namespace {

class DdkintTest : public ::testing::Test {
protected:
    void SetUp() override { port::UseOs(os); }
    fake::FakeOs os;
};

TEST_F(DdkintTest, InstallCreatesAnOnDemandKernelDriverAndClosesItsHandles)
{
    EXPECT_EQ(ServiceInstall("C:\\Tamsel\\zlportio.sys", "zlportio"), 0u);
    ASSERT_EQ(os.services.count("zlportio"), 1u);
    const auto& s = os.services["zlportio"];
    EXPECT_EQ(s.path, "C:\\Tamsel\\zlportio.sys");
    EXPECT_EQ(s.type, 1u);
    EXPECT_EQ(s.startType, 3u);
    EXPECT_EQ(s.errorControl, 1u);
    // the display name is the service name; all access to the manager and to the service
    EXPECT_EQ(os.Calls(), (std::vector<std::string>{
                              "OpenSCManager 983103",
                              "CreateService zlportio zlportio 983551 C:\\Tamsel\\zlportio.sys",
                              "CloseServiceHandle", "CloseServiceHandle"}));
    EXPECT_EQ(os.OpenHandleCount(), 0u);
}

// A handle left open by any step stays open, so one count at the end holds them all.
TEST_F(DdkintTest, FailuresReturnTheSystemCodeAndLeaveNoHandleOpen)
{
    ServiceInstall("C:\\Tamsel\\zlportio.sys", "zlportio");
    EXPECT_EQ(ServiceInstall("C:\\other.sys", "zlportio"), 1073u);
    EXPECT_EQ(os.services["zlportio"].path, "C:\\Tamsel\\zlportio.sys"); // unchanged
    EXPECT_EQ(ServiceStop("zlportio"), 1062u); // installed, not running
    EXPECT_EQ(ServiceRemove("missing"), 1060u);
    EXPECT_EQ(ServiceStart("missing"), 1060u);
    EXPECT_EQ(ServiceStop("missing"), 1060u);
    os.failures["DeleteService"] = 1072; // ERROR_SERVICE_MARKED_FOR_DELETE, before the closes
    EXPECT_EQ(ServiceRemove("zlportio"), 1072u);
    os.existingFiles.clear();
    EXPECT_EQ(ServiceStart("zlportio"), 2u); // driver file missing
    // Without administrator rights, the manager open with all access fails at once.
    os.administrator = false;
    os.ClearCalls();
    EXPECT_EQ(ServiceInstall("C:\\Tamsel\\zlportio.sys", "zlportio"), 5u);
    EXPECT_EQ(ServiceRemove("zlportio"), 5u);
    EXPECT_EQ(os.Calls(), (std::vector<std::string>{"OpenSCManager 983103", "OpenSCManager 983103"}));
    EXPECT_EQ(os.OpenHandleCount(), 0u);
}

TEST_F(DdkintTest, StartStopRemoveAskForTheirOwnAccess)
{
    ServiceInstall("C:\\Tamsel\\zlportio.sys", "zlportio");
    os.ClearCalls();
    EXPECT_EQ(ServiceStart("zlportio"), 0u);
    EXPECT_TRUE(os.services["zlportio"].running);
    EXPECT_EQ(ServiceStop("zlportio"), 0u);
    EXPECT_FALSE(os.services["zlportio"].running);
    EXPECT_EQ(ServiceRemove("zlportio"), 0u);
    EXPECT_EQ(os.services.count("zlportio"), 0u);
    std::vector<std::string> expected = {
        "OpenSCManager 1", "OpenService zlportio 16", "StartService", "CloseServiceHandle",
        "CloseServiceHandle",
        "OpenSCManager 1", "OpenService zlportio 32", "ControlService 1", "CloseServiceHandle",
        "CloseServiceHandle",
        "OpenSCManager 983103", "OpenService zlportio 983551", "DeleteService",
        "CloseServiceHandle", "CloseServiceHandle"};
    EXPECT_EQ(os.Calls(), expected);
}

} // namespace
