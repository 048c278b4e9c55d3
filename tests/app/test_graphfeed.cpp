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

TEST(GraphSample, OneCharacterPerTraceInLabelOrder)
{
    std::array<bool, 17> s{};
    EXPECT_EQ(GraphSampleOf(s), "00000000000000000");
    s[1] = true; // Busy
    EXPECT_EQ(GraphSampleOf(s), "01000000000000000");
    s = {};
    s[5] = true;  // D0
    s[13] = true; // Strobe
    EXPECT_EQ(GraphSampleOf(s), "00000100000001000");
}

TEST_F(GraphFeedTest, AWriteAddsOneSampleOfTheSwitchPositions)
{
    TfmMain& w = Start();
    w.ActLPTReadInLoop->SetChecked(false);
    w.ActLPTReadStatus->SetChecked(false); // keep the status characters at their start value
    w.ActLptOpen->trigger();
    w.btnD[0]->SetSwitchOn(true); // writes: ActLPTWriteData is checked
    EXPECT_EQ(Samples().size(), 64u);
    EXPECT_EQ(Newest(), "00000100000000000");
    w.btnD[0]->SetSwitchOn(false);
    w.btnStrobe->SetSwitchOn(true); // its register bit is 0, its trace is high
    EXPECT_EQ(Newest(), "00000000000001000");
    EXPECT_EQ(bench.Port().ControlRegister() & 1, 0);
    const std::size_t n = Samples().size();
    w.ActLPTWrite->trigger(); // a write with nothing changed still adds a sample
    EXPECT_EQ(Samples().size(), n);
    EXPECT_EQ(Samples()[62], Samples()[63]);
}

TEST_F(GraphFeedTest, TheFirstCycleFeedsOnlyWhenAStateIsTrue)
{
    TfmMain& w = Start();
    // After detection the control register is 0: Strobe, AutoFeed and Select-in high, so
    // Select, PaperEnd and Busy read true.
    auto before = Samples();
    w.ActLPTReadInLoop->SetChecked(false);
    w.ActLptOpen->trigger();
    EXPECT_NE(Samples(), before);
    EXPECT_EQ(Newest(), "01110000000000000");
    before = Samples();
    w.ActLPTRead->trigger(); // steady inputs: nothing new
    EXPECT_EQ(Samples(), before);
}

TEST_F(GraphFeedTest, AllStatesFalseOnTheFirstCycleAddsNothing)
{
    TfmMain& w = Start();
    bench.Port().Write(890, 0x0B); // every output low, so all five inputs read low
    w.ActLPTReadInLoop->SetChecked(false);
    const auto before = Samples();
    w.ActLptOpen->trigger();
    EXPECT_EQ(Samples(), before);
}

TEST_F(GraphFeedTest, ASteadyLoopAddsNothingAndOneAckChangeAddsOneSample)
{
    TfmMain& w = Start();
    w.ActLPTReadInLoop->SetChecked(false);
    w.ActLptOpen->trigger();
    w.ActLPTReadInLoop->SetChecked(true);
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

TEST_F(GraphFeedTest, InversionWhileReadingAddsOneSampleWithTheStatusFlipped)
{
    TfmMain& w = Start();
    w.ActLPTReadInLoop->SetChecked(false);
    w.ActLptOpen->trigger();
    const std::string before = Newest();
    w.ActLPTReadInvStates->trigger(); // single-read mode: one read at once
    const std::string after = Newest();
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_NE(before[i], after[i]) << i;
    EXPECT_EQ(before.substr(5), after.substr(5));
}

TEST_F(GraphFeedTest, UncheckingShowChangesStopsTheSamples)
{
    TfmMain& w = Start();
    w.ActLPTReadInLoop->SetChecked(false);
    w.ActLptOpen->trigger();
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
