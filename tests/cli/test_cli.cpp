// The tool's commands on the bench: what each prints and returns, how it reads its command
// line, and how it refuses what it cannot do.
#include <gtest/gtest.h>

#include "CliFixture.h"
#include "CliText.h"
#include "DetectLog.h"
#include "FakeOs.h"

namespace {

using clitest::CliTest;

TEST(CliText, Durations)
{
    const struct {
        const char* text;
        std::int64_t ns; // 0: refused
    } rows[] = {
        {"10s", 10'000'000'000}, {"250ms", 250'000'000}, {"1.5s", 1'500'000'000},
        {"2m", 120'000'000'000}, {"100us", 100'000}, {"7", 7'000'000'000},
        {"0.25h", 900'000'000'000}, {"1.5ns", 1}, {"0.5ns", 0}, {"0s", 0}, {"", 0},
        {"1.s", 0}, {".5s", 0}, {"1.2.3s", 0}, {"5 s", 0}, {"-1s", 0}, {"1e3s", 0},
        {"1x", 0}, {"ms", 0}, {"31000000000s", 0}, {"99999999999999999999h", 0},
    };
    for (const auto& r : rows) {
        const auto d = cli::ParseDuration(r.text);
        EXPECT_EQ(d ? d->count() : 0, r.ns) << r.text;
    }
    EXPECT_EQ(cli::Seconds(1'234'567'890), "1.234567890");
    EXPECT_EQ(cli::HumanDuration(1'234), "1.234 us");
}

TEST(CliText, WindowPrefsFile)
{
    EXPECT_EQ(cli::WindowPrefsFileOf("/opt/t/tamsel-cli"), "/opt/t/tamsel.ini");
    EXPECT_EQ(cli::WindowPrefsFileOf("C:\\T.1\\tamsel-cli-demo.exe"), "C:\\T.1\\tamsel-demo.ini");
    EXPECT_EQ(cli::WindowPrefsFileOf("tamsel-cli"), "tamsel.ini");
}

// One bench for all rows, in order: each row sees the outputs the rows before it wrote.
TEST_F(CliTest, CommandsOnTheBench)
{
    const std::string off = "D1=0\nD2=0\nD3=0\nD4=0\nD5=0\nD6=0\nD7=0\n";
    const struct {
        std::vector<std::string> args;
        int code;
        std::string out;       // whole, when not empty
        std::string errPart;   // found in the error output, when not empty
        int control = -1;      // the control register afterwards, when not -1
        std::vector<std::string> writes = {}; // the register writes, in order, when control is set
        int controlBefore = -1; // set on the bench first, when not -1
    } rows[] = {
        {{"read"}, 0, "Ack=0\nBusy=1\nPaperEnd=1\nSelect=1\nError=0\n", ""},
        {{"write", "--data", "0x01", "--init", "1"}, 0,
         "D0=1\n" + off + "Strobe=1\nAutoFeed=1\nInit=1\nSelectIn=1\n", "", 0x04,
         {"888<-0x01", "890<-0x04"}},
        // The plug brings Init to Ack and D0 to Error.
        {{"read", "--port", "$378"}, 0, "Ack=1\nBusy=1\nPaperEnd=1\nSelect=1\nError=1\n", ""},
        // The lines not named keep their levels; the data stay.
        {{"write", "--strobe", "0"}, 0,
         "D0=1\n" + off + "Strobe=0\nAutoFeed=1\nInit=1\nSelectIn=1\n", "", 0x05,
         {"890<-0x05"}},
        // Undriven data pins read 1 with the drivers off; the control lines stay as they were.
        {{"--verbose", "read", "--data", "-p", "lpt1"}, 0,
         "Ack=1\nBusy=1\nPaperEnd=1\nSelect=0\nError=1\nD0=1\nD1=1\nD2=1\nD3=1\nD4=1\nD5=1\n"
         "D6=1\nD7=1\nData=0xFF\n",
         "", 0x05, {"890<-0x25", "890<-0x05"}},
        {{"read", "--port", "0x3BC"}, 0, "Ack=1\nBusy=0\nPaperEnd=1\nSelect=1\nError=1\n", ""},
        {{"read", "--port", "LPT5"}, 3, "", "no port: LPT5 has no address in " +
                                                dir.File("tamsel-demo.ini")},
        {{"--help"}, 0, "", ""},
        {{"frob"}, 1, "", "unknown command \"frob\": detect, read"},
        {{}, 1, "", "a command is needed"},
        {{"read", "extra"}, 1, "", "not expected: extra"},
        {{"read", "--port", "0x1G"}, 1, "", "\"0x1G\" is not LPT1 to LPT8 or a port address"},
        {{"read", "--port", "70000"}, 1, "", "\"70000\" is not"},
        {{"read", "--port", "0"}, 1, "", "\"0\" is not"},
        {{"write"}, 1, "", "give --data and/or a control line"},
        {{"write", "--data", "256"}, 1, "", "\"256\" is not a byte"},
        {{"write", "--selectin", "2"}, 1, "", "\"2\" is not 0 or 1"},
        {{"watch", "--for", "0s"}, 1, "", "\"0s\" is not a positive duration"},
        {{"capture", "--for", "1s"}, 1, "", "--out is required"},
        {{"show", dir.File("none.vcd")}, 1, "", "cannot read " + dir.File("none.vcd")},
        {{"detect", "1", "2", "3", "4", "5", "6", "7", "8", "9"}, 1, "", "At Most 8"},
        // From input mode, interrupt on: after the latch, one write turns the drivers on.
        {{"write", "--data", "0x42"}, 0, "", "", 0x15, {"888<-0x42", "890<-0x15"}, 0x35},
        // Without data, the direction stays.
        {{"write", "--selectin", "0"}, 0, "", "", 0x2D, {"890<-0x2D"}, 0x25},
    };
    for (const auto& r : rows) {
        const std::string what = ::testing::PrintToString(r.args);
        if (r.controlBefore >= 0)
            bench.Port().Write(890, std::uint8_t(r.controlBefore));
        bench.Writes.clear();
        const clitest::Result got = Run(r.args);
        EXPECT_EQ(got.Code, r.code) << what << got.Err;
        if (!r.out.empty()) {
            EXPECT_EQ(got.Out, r.out) << what;
        }
        EXPECT_NE(got.Err.find(r.errPart), std::string::npos) << what << got.Err;
        if (r.control >= 0) {
            EXPECT_EQ(bench.Port().ControlRegister(), r.control) << what;
            EXPECT_EQ(bench.Writes, r.writes) << what;
        }
    }
}

TEST_F(CliTest, DetectSearchesTheFilesAddressesOrTheGivenOnes)
{
    const std::string ini = dir.File("other.ini");
    WriteFile(ini, "[LptPortAddr]\r\nLPT001Addr=$278\r\n");
    const struct {
        std::vector<std::string> args;
        int code;
        std::string lastLine;
    } rows[] = {
        {{"detect", "0x378", "888"}, 0,
         "Fin de recherche des ports parallèles disponibles, 2 ports parallèles trouvés."},
        {{"detect", "--ini", ini}, 3,
         "Fin de recherche des ports parallèles disponibles, 0 port parallèle trouvé."},
        {{"read", "--ini", dir.File("none.ini")}, 1,
         "tamsel-cli-demo: --ini " + dir.File("none.ini") + ": no such file"},
        {{"read", "--ini", dir.Path()}, 1, "tamsel-cli-demo: --ini " + dir.Path() + ": not a file"},
    };
    for (const auto& r : rows) {
        const clitest::Result got = Run(r.args);
        EXPECT_EQ(got.Code, r.code) << got.Err;
        EXPECT_NE((got.Out + got.Err).find(r.lastLine + "\n"), std::string::npos) << got.Out;
    }
    // Without a file, the window's default addresses, each step as the window logs it; and the
    // file is not created.
    const clitest::Result got = Run({"detect"});
    EXPECT_EQ(got.Code, 0) << got.Err;
    std::string expected;
    for (const auto& line :
         fake::DefaultSearchLog("3BC", {"55", "FF", "FF"}, "1 port parallèle trouvé"))
        expected += line.text + "\n";
    EXPECT_EQ(got.Out, expected);
    EXPECT_EQ(dir.Entries(), std::set<std::string>{"other.ini"});
}

TEST_F(CliTest, RefusedAccessIsItsOwnExitCode)
{
    bench.Port().FailAllAccesses(true);
    fake::FakeOs noDriver; // the NT family without zlportio.sys: the driver cannot start
    noDriver.existingFiles.clear();
    const struct {
        port::OsApi& os;
        std::vector<std::string> args;
        std::string err;
    } rows[] = {
        {bench, {"read"}, "port 0x378: no access (simulated port access failure)"},
        {bench, {"write", "--data", "1"}, "port 0x378: no access (simulated port access failure)"},
        {bench, {"capture", "--for", "1s", "-o", dir.File("c.vcd")}, "port 0x378: no access"},
        {bench, {"detect"}, "no port found: access refused (simulated port access failure)"},
        {noDriver, {"read"}, "no port access: the port driver zlportio is not available"},
    };
    for (const auto& r : rows) {
        const clitest::Result got = Run(r.args, r.os);
        EXPECT_EQ(got.Code, 2) << got.Err;
        EXPECT_NE(got.Err.find(r.err), std::string::npos) << got.Err;
        PortIoReset();
    }
    EXPECT_TRUE(dir.Entries().empty()); // no capture file, not even a temporary one
}

// A capture whose file cannot be written leaves the directory as it was.
TEST_F(CliTest, CaptureOutputFailures)
{
    const std::string out = dir.File("c.vcd");
    const struct {
        const char* what;
        std::function<void()> arrange;
        std::string path;
        std::string err;
    } rows[] = {
        {"directory refuses a new file", [&] { refusals.NoNewFile = true; }, out,
         "cannot write " + out + ": " + ProfileErrorText(EACCES)},
        {"full disk", [&] { refusals.FullDisk = true; }, out,
         "cannot write " + out + ": " + ProfileErrorText(ENOSPC)},
        {"a directory", [&] {}, dir.Path(), "cannot write " + dir.Path() + ": not a regular file"},
        {"existing file not writable", [&] { refusals.ReadOnly = true; }, out,
         "cannot write " + out + ": " + ProfileErrorText(EACCES)},
        {"a folder not there", [&] {}, dir.File("none/c.vcd"),
         "cannot write " + dir.File("none/c.vcd") + ": " + ProfileErrorText(ENOENT)},
    };
    for (const auto& r : rows) {
        refusals = {};
        WriteFile(out, "old");
        r.arrange();
        const std::set<std::string> before = dir.Entries();
        const clitest::Result got = Run({"capture", "--for", "20ms", "-o", r.path});
        EXPECT_EQ(got.Code, 1) << r.what;
        EXPECT_NE(got.Err.find(r.err), std::string::npos) << r.what << ": " << got.Err;
        EXPECT_EQ(dir.Entries(), before) << r.what;
    }
    EXPECT_EQ(ReadFile(out), "old");
}

} // namespace
