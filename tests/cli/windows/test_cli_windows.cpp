// The tool over the real Windows calls: the stand-in port driver beside the executable,
// installed and started as the "zlportio" service by each run (Wine's service control
// manager in CI), and stopped and deleted at its end.
#include <gtest/gtest.h>

#include <filesystem>

#include "CliFixture.h"
#include "ProcessEnd.h"
#include "WindowsOs.h"
#include "ddkint.h"
#include "zlportio.h"

namespace {

namespace fs = std::filesystem;

class CliWindows : public clitest::CliTest {
protected:
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove(Dir() / "zlportio.sys", ignored);
        CliTest::TearDown();
    }
    fs::path Dir() { return fs::path(os.ExecutablePath()).parent_path(); }
    port::WindowsOs os;
};

TEST_F(CliWindows, CommandsThroughTheDriver)
{
    port::UseOs(os);
    DriverStopRemove(); // whatever an earlier test process left
    wintest::EndOfProcess();
    const clitest::Result missing = Run({"read"}, os);
    EXPECT_EQ(missing.Code, 2);
    EXPECT_NE(missing.Err.find("the port driver zlportio is not available"), std::string::npos);

    fs::copy_file(Dir() / "standin" / "zlportio.sys", Dir() / "zlportio.sys",
                  fs::copy_options::overwrite_existing);
    const struct {
        std::vector<std::string> args;
        int code;
        std::string outPart;
    } rows[] = {
        {{"detect"}, 0, "[LPT1] Valeur lue = Valeur écrite : port détecté à l'adresse $378\n"},
        // The outputs read back through the driver.
        {{"write", "--data", "0x81", "--init", "1"}, 0,
         "D0=1\nD1=0\nD2=0\nD3=0\nD4=0\nD5=0\nD6=0\nD7=1\nStrobe=1\nAutoFeed=1\nInit=1\n"},
        // Each run loads the stand-in anew, which starts with every output register at 0.
        {{"read"}, 0, "Ack=0\nBusy=1\nPaperEnd=1\nSelect=1\nError=0\n"},
        {{"read", "--data"}, 0, "Error=1\nD0=1\n"},
    };
    for (const auto& r : rows) {
        PortIoReset();
        const clitest::Result got = Run(r.args, os);
        wintest::EndOfProcess();
        EXPECT_EQ(got.Code, r.code) << got.Err;
        EXPECT_NE(got.Out.find(r.outPart), std::string::npos) << got.Out;
    }
    EXPECT_EQ(ServiceStop(kDriverName), port::kErrorServiceDoesNotExist); // deleted at the end
}

} // namespace
