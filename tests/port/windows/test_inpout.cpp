// The second way to the ports for real under Wine: our stand-in inpoutx64.dll, loaded from the
// program's folder only, after the port driver could not start; the refusals when neither way
// works; and one copy of the program at a time on a port.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "ProcessEnd.h"
#include "TrackingOs.h"
#include "WindowsRefusals.h"
#include "zlportio.h"

namespace {

namespace fs = std::filesystem;

class InpOutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        port::UseOs(*os);
        PortIoReset();
        DriverStopRemove();
        wintest::EndOfProcess();
    }
    void TearDown() override
    {
        DriverStopRemove();
        wintest::EndOfProcess();
        PortIoReset();
        os.reset(); // frees the library before its file goes
        std::error_code ignored;
        fs::remove(Beside("inpoutx64.dll"), ignored);
        fs::remove(Beside("zlportio.sys"), ignored);
        fs::current_path(start);
        ::SetEnvironmentVariableA("TAMSEL_STANDIN_DRIVER", nullptr);
    }

    fs::path ExeDir() { return exeDir; }
    fs::path Beside(const char* name) { return ExeDir() / name; }
    void PutBeside(const char* name, const char* from = nullptr)
    {
        std::error_code ignored;
        fs::remove(Beside(name), ignored);
        fs::copy_file(ExeDir() / "standin" / (from ? from : name), Beside(name));
    }
    std::string Reasons(std::uint16_t base)
    {
        std::string text;
        for (const auto& refusal : os->RefusalsAt(base))
            text += refusal.English.Reason + "|";
        return text;
    }

    std::unique_ptr<wintest::TrackingOs> os = std::make_unique<wintest::TrackingOs>();
    fs::path exeDir = fs::path(os->ExecutablePath()).parent_path();
    fs::path start = fs::current_path();
};

TEST_F(InpOutTest, WithoutTheDriverTheLibraryBesideTheProgramReachesThePort)
{
    PutBeside("inpoutx64.dll");
    PortIoStartup();
    EXPECT_EQ(os->calls["StartService"], 1); // the driver first
    EXPECT_TRUE(DriverOpen);
    EXPECT_TRUE(DirectIo);
    EXPECT_EQ(Reasons(888), "");
    // D0 through the loopback raises Error; wider accesses reach the consecutive registers.
    PortWrite(890, pwByte, 0);
    PortWrite(888, pwByte, 1);
    EXPECT_EQ(PortRead(888, pwByte), 1u);
    EXPECT_EQ(PortRead(889, pwByte) & 0x08, 0x08u);
    PortWrite(888, pwWord, 0x0355); // the status register ignores the write
    EXPECT_EQ(PortRead(888, pwDword) & 0xFFFF00FF, 0xFFC00055u);
}

TEST_F(InpOutTest, ALibraryInTheCurrentDirectoryIsNotLoaded)
{
    fs::current_path(ExeDir() / "standin");
    PortIoStartup();
    EXPECT_EQ(PortLib.State, port::PortLibraryState::Absent);
    EXPECT_EQ(Reasons(888), "neither the port driver zlportio.sys nor inpoutx64.dll is in the "
                            "program's folder|");
}

TEST_F(InpOutTest, TheLibraryWithItsDriverClosedIsRefusedWithTheReason)
{
    ::SetEnvironmentVariableA("TAMSEL_STANDIN_DRIVER", "closed");
    PutBeside("inpoutx64.dll");
    PortIoStartup();
    EXPECT_FALSE(DriverOpen);
    EXPECT_EQ(PortRead(888, pwByte), 0u);
    EXPECT_NE(Reasons(888).find("its driver is not open"), std::string::npos) << Reasons(888);
}

TEST_F(InpOutTest, ADriverThatCannotStartFallsBackToTheLibrary)
{
    PutBeside("inpoutx64.dll");
    PutBeside("zlportio.sys", "refusing.sys");
    PortIoStartup();
    EXPECT_TRUE(DirectIo);
    EXPECT_EQ(DriverStartCode, port::kErrorDriverBlocked);
    EXPECT_EQ(port::WayInUse(DriverOpen, DirectIo, true, DriverStartCode),
              "zlportio.sys is a 32-bit driver, which 64-bit Windows does not load (error 1275); "
              "ports reached through inpoutx64.dll (InpOutx64)");
}

// A second copy (here: another thread with a backend of its own) finds the port held and
// cannot write to it; another port stays free for it.
TEST_F(InpOutTest, OneCopyAtATimeOnAPort)
{
    PutBeside("inpoutx64.dll");
    PortIoStartup();
    ASSERT_EQ(Reasons(888), "");
    PortWrite(888, pwByte, 0x55);
    std::string second, other;
    bool refused = false;
    std::thread([&] {
        port::WindowsOs copy;
        copy.OpenPortLibrary();
        try {
            copy.OutByte(890, 0x21);
        } catch (const port::PortAccessError&) {
            refused = true;
        }
        for (const auto& refusal : copy.RefusalsAt(888))
            second += refusal.English.Reason + "|" + refusal.French.Reason;
        other = copy.RefusalsAt(632).empty() ? "free" : "held";
    }).join();
    EXPECT_EQ(second, "another copy of Tamsel is using the port at 0x378|une autre copie de "
                      "Tamsel utilise le port à l'adresse $378");
    EXPECT_EQ(other, "free");
    EXPECT_TRUE(refused);
    EXPECT_EQ(PortRead(890, pwByte), 0xC0u); // the control register as this copy left it
    EXPECT_EQ(Reasons(888), ""); // still this copy's
}

} // namespace
