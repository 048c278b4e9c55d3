#include "WindowFixture.h"
#include "kvDGraph.h"
#include "kvSwitch.h"
#include "uGraph.h"

namespace {

class GraphFeedTest : public WindowFixture {
protected:
    std::vector<std::string> Samples() const
    {
        std::vector<std::string> samples;
        for (const QString& s : window->kvDGraph1->LstValues())
            samples.push_back(s.toStdString());
        return samples;
    }
    std::string Newest() const { return Samples().back(); }
};

// Each line raised alone lights its own light, for an input, and is its own trace.
TEST_F(GraphFeedTest, EachLineRaisedAloneIsItsOwnCharacterOfTheNewestSample)
{
    TfmMain& w = StartOpen(false);
    w.ActLPTWrite->trigger(); // every output low, so every input reads low
    w.ActLPTRead->trigger();
    const std::string low(17, '0');
    ASSERT_EQ(Newest(), low);
    // The five inputs, in trace order, raised from outside and read; the twelve outputs
    // switched on, which writes them.
    const int inputPins[] = {10, 11, 12, 13, 15};
    const std::vector<TkvSwitch*> outputs = Outputs();
    for (std::size_t k = 0; k < 17; ++k) {
        auto raise = [&](bool high) {
            if (k < 5) {
                bench.Port().DriveInput(inputPins[k], high ? std::optional(true) : std::nullopt);
                w.ActLPTRead->trigger();
            } else {
                outputs[k - 5]->SetSwitchOn(high);
            }
        };
        std::string raised = low;
        raised[k] = '1';
        raise(true);
        EXPECT_EQ(Newest(), raised) << "line " << k + 1;
        EXPECT_EQ(Lights(), raised.substr(0, 5)) << "line " << k + 1;
        raise(false);
        EXPECT_EQ(Newest(), low) << "line " << k + 1;
        EXPECT_EQ(Lights(), "00000") << "line " << k + 1;
    }
    EXPECT_EQ(Samples().size(), 64u);
    const auto before = Samples();
    w.ActLPTWrite->trigger(); // a write with nothing changed still adds a sample
    const auto after = Samples();
    EXPECT_EQ(after.back(), low);
    EXPECT_EQ(std::vector<std::string>(after.begin(), after.end() - 1),
              std::vector<std::string>(before.begin() + 1, before.end()));
}

TEST_F(GraphFeedTest, TheFirstCycleFeedsOnlyWhenAStateIsTrue)
{
    // After detection the control register is 0: Strobe, AutoFeed and Select-in high, so
    // Select, PaperEnd and Busy read true. With every output low all five read false.
    for (const std::uint8_t control : {0x00, 0x0B}) {
        TfmMain& w = Start();
        bench.Port().Write(890, control);
        const auto before = Samples();
        w.ActLPTReadInLoop->SetChecked(false);
        w.ActLptOpen->trigger();
        if (control == 0) {
            EXPECT_EQ(Newest(), "01110000000000000");
            EXPECT_EQ(Samples().size(), 64u);
        } else {
            EXPECT_EQ(Samples(), before);
        }
        const auto fed = Samples();
        w.ActLPTRead->trigger(); // steady inputs: nothing new
        EXPECT_EQ(Samples(), fed);
        Reload();
    }
}

TEST_F(GraphFeedTest, ASteadyLoopAddsNothingAndOneAckChangeAddsOneSample)
{
    TfmMain& w = StartOpen(true);
    std::vector<std::string> atStart, atChange, atEnd;
    DuringLoop([&](int cycle) {
        if (cycle == 1)
            atStart = Samples();
        if (cycle == 20) {
            atChange = Samples();
            bench.Port().DriveInput(10, true); // Ack driven high from outside
        }
        if (cycle == 40) {
            atEnd = Samples();
            w.ActLPTRead->trigger();
        }
    });
    w.ActLPTRead->trigger();
    EXPECT_EQ(atChange, atStart);
    ASSERT_EQ(atEnd.size(), 64u);
    EXPECT_EQ(std::vector<std::string>(atEnd.begin(), atEnd.end() - 1),
              std::vector<std::string>(atChange.begin() + 1, atChange.end()));
    EXPECT_EQ(atEnd[63][0], '1');
    EXPECT_EQ(atEnd[62][0], '0');
    EXPECT_EQ(atEnd[63].substr(1), atEnd[62].substr(1));
}

TEST_F(GraphFeedTest, UncheckingShowChangesStopsTheSamples)
{
    TfmMain& w = StartOpen(false);
    w.ActGraphShowChanges->trigger();
    EXPECT_FALSE(w.ActGraphShowChanges->Checked());
    const auto before = Samples();
    w.btnD[7]->SetSwitchOn(true);
    EXPECT_EQ(Samples(), before);
    w.ActGraphShowChanges->trigger();
    w.btnD[7]->SetSwitchOn(false);
    EXPECT_NE(Samples(), before);
}

} // namespace
