#include "DetectLog.h"
#include "LptFixture.h"

namespace {

using fake::LogLine;

class DetectTest : public LptFixture {
protected:
    void Table(std::array<std::uint16_t, 8> addresses)
    {
        for (int n = 1; n <= 8; ++n)
            LptPorts[n].Address = addresses[std::size_t(n - 1)];
    }
};

TEST_F(DetectTest, DefaultTableWithOnePortAt888)
{
    Start(bench);
    Table({888, 632, 956, 0, 0, 0, 0, 0});
    LptDetectPorts();

    EXPECT_EQ(host.log,
              fake::DefaultSearchLog("3BC", {"55", "FF", "FF"}, "1 port parallèle trouvé"));

    EXPECT_EQ(LptWidth, pwByte);
    EXPECT_EQ(SelectedAddress, 888);
    EXPECT_EQ(host.checkedActions, std::vector<int>{1});
    EXPECT_TRUE(LptPorts[1].Detected);
    EXPECT_FALSE(LptPorts[2].Detected);
    EXPECT_FALSE(PortOpen);
    EXPECT_TRUE(DriverLoaded);
    EXPECT_EQ(host.delays, (std::vector<std::uint32_t>{100, 100, 100})); // none for address 0
    EXPECT_EQ(host.updates, 1);
    EXPECT_EQ(host.hints[1], "LPT 1\rAdresse = $378 (888d)");
    EXPECT_EQ(host.hints[5], "LPT 5\rAdresse = $000 (000d)");
    EXPECT_EQ(host.hints.size(), 8u);
    // the selected port's registers are reset
    EXPECT_EQ(bench.Port().DataLatch(), 0);
    EXPECT_EQ(bench.Port().ControlRegister(), 0);
}

TEST_F(DetectTest, CountLineFlagsAndSelection)
{
    struct Row {
        std::array<std::uint16_t, 8> table;
        const char* last;
        bool lpt1, lpt2;
        std::uint16_t selected;
        std::vector<int> checked;
    };
    const Row rows[] = {
        // the same address twice: tested twice, both detected, the first selected
        {{888, 888, 0, 0, 0, 0, 0, 0},
         "Fin de recherche des ports parallèles disponibles, 2 ports parallèles trouvés.", true,
         true, 888, {1}},
        // nothing found: the selection stays at LPT8's address
        {{632, 956, 0, 0, 0, 0, 0, 0},
         "Fin de recherche des ports parallèles disponibles, 0 port parallèle trouvé.", false,
         false, 0, {}},
    };
    for (const Row& r : rows) {
        host = {};
        SetUp();
        Start(bench);
        Table(r.table);
        LptDetectPorts();
        EXPECT_EQ(host.log.back(), (LogLine{r.last, clBlack}));
        EXPECT_EQ(LptPorts[1].Detected, r.lpt1);
        EXPECT_EQ(LptPorts[2].Detected, r.lpt2);
        EXPECT_EQ(SelectedAddress, r.selected);
        EXPECT_EQ(host.checkedActions, r.checked);
    }
}

// The reason the system gives for a port it refuses follows that port's lines, if any.
const port::AccessRefusal kBlocked{{"blocked", "unblock"}, {"bloqué", "débloquez"}};

TEST_F(DetectTest, NoDriverTestsNothingAndLogsOnlyWhyAPortIsRefused)
{
    nt.existingFiles.clear();
    nt.refusals[632] = {kBlocked};
    Start(nt);
    Table({888, 632, 956, 0, 0, 0, 0, 0});
    LptDetectPorts();
    std::vector<LogLine> expected{{"Recherche des ports parallèles disponibles...", clBlack}};
    const auto blocked = fake::RefusalLines(2, "bloqué", "débloquez");
    expected.insert(expected.end(), blocked.begin(), blocked.end());
    for (int n = 4; n <= 8; ++n) expected.push_back(fake::IgnoredLine(n));
    expected.push_back(
        {"Fin de recherche des ports parallèles disponibles, 0 port parallèle trouvé.", clBlack});
    EXPECT_EQ(host.log, expected);
    EXPECT_TRUE(nt.DeviceRequests().empty());
}

TEST_F(DetectTest, HighBitsInAByteReplyAreNotAMatch)
{
    nt.deviceAlwaysReachable = true;
    Start(nt);
    nt.readReplyHighBits = 0x100;
    nt.refusals[888] = {kBlocked, kBlocked};
    Table({888, 0, 0, 0, 0, 0, 0, 0});
    LptDetectPorts();
    EXPECT_FALSE(LptPorts[1].Detected);
    auto expected = fake::TestedLines(1, "378", "155", false);
    const auto blocked = fake::RefusalLines(1, "bloqué", "débloquez");
    for (int i = 0; i < 2; ++i)
        expected.insert(expected.end(), blocked.begin(), blocked.end());
    EXPECT_EQ(std::vector<LogLine>(host.log.begin() + 1, host.log.begin() + 7), expected);
}

TEST_F(DetectTest, TestedPortsAreAccessedInOrderAndUntestedOnesNever)
{
    nt.deviceAlwaysReachable = true;
    Start(nt);
    Table({632, 0, 888, 0, 0, 0, 0, 0});
    LptDetectPorts();
    std::vector<std::string> expected = {
        "W 634 0 0", "W 632 0 85", "R 632 0", // LPT1: nothing there
        "W 890 0 0", "W 888 0 85", "R 888 0", // LPT3: detected
        "W 890 0 0",                          // reset of the selected port: output mode,
        "W 890 0 0", "W 888 0 0",             // then a data write of 0
    };
    EXPECT_EQ(nt.DeviceRequests(), expected);
}

TEST_F(DetectTest, AnErrorEndsTheSearchButTheCountAndHintsFollow)
{
    struct ThrowingHost : fake::RecordingHost {
        void Delay(std::uint32_t ms) override
        {
            fake::RecordingHost::Delay(ms);
            if (delays.size() == 2)
                throw std::runtime_error("widget failure");
        }
    } throwing;
    LptSetHost(&throwing);
    Start(bench);
    Table({888, 632, 956, 0, 0, 0, 0, 0});
    LptDetectPorts();
    EXPECT_EQ(throwing.log.size(), 4u); // opening, LPT1's two lines, then the count
    EXPECT_EQ(throwing.log.back().text,
              "Fin de recherche des ports parallèles disponibles, 1 port parallèle trouvé.");
    EXPECT_EQ(throwing.hints.size(), 8u);
    EXPECT_EQ(throwing.updates, 1);
    EXPECT_TRUE(throwing.checkedActions.empty());
}

} // namespace
