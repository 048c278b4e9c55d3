#include "LptFixture.h"

namespace {

class LinesTest : public LptFixture {
protected:
    // The fake's direct mode records every port instruction.
    void OpenOnFake()
    {
        nt.platformId = 1;
        OpenPort(nt);
        nt.ClearCalls();
    }
};

TEST_F(LinesTest, ClosedPortMakesNoAccess)
{
    OpenOnFake();
    LptUnloadDriver();
    nt.ClearCalls();
    StateAck = true;
    LptReadStatus();
    EXPECT_EQ(LptReadData(), 0u);
    LptWriteData(0xFF);
    LptWriteControl(0x0B);
    LptDataInputMode();
    LptDataOutputMode();
    EXPECT_TRUE(nt.Calls().empty());
    EXPECT_TRUE(StateAck);
}

TEST_F(LinesTest, RegisterAccessesInOrder)
{
    OpenOnFake();
    LptWriteData(0xA5);
    EXPECT_EQ(nt.Calls(), (std::vector<std::string>{"OutByte 890 0", "OutByte 888 165"}));

    nt.ClearCalls();
    LptReadStatus();
    LptDataInputMode();
    LptReadData();
    LptDataOutputMode();
    EXPECT_EQ(nt.Calls(), (std::vector<std::string>{"InByte 889", "OutByte 890 32", "InByte 888",
                                                    "OutByte 890 0"}));
    EXPECT_EQ(nt.Port().ControlRegister(), 0);

    nt.ClearCalls();
    LptSetWidth(pwWord); // the width is passed through to every access
    LptWriteControl(0x0E);
    EXPECT_EQ(nt.Calls(), (std::vector<std::string>{"OutWord 890 14"}));
}

TEST_F(LinesTest, StatusReadDecodesWithTheInvertOptionReadBeforeTheAccess)
{
    OpenPort(bench);
    struct Row {
        std::uint32_t control;
        std::uint32_t data;
        bool invert;
        LptStatusStates expected; // Ack, Busy, PaperEnd, Select, Error
    };
    const Row rows[] = {
        {0x0B, 0x00, false, {false, false, false, false, false}}, // all outputs low
        {0x04, 0x01, false, {true, true, true, true, true}},      // all high
        {0x0B, 0x00, true, {true, true, true, true, true}},
        {0x03, 0x00, false, {false, true, false, false, false}}, // Select-in -> Busy
    };
    for (const Row& r : rows) {
        LptWriteData(r.data);
        LptWriteControl(r.control);
        host.invert = r.invert;
        LptReadStatus();
        EXPECT_EQ(LptCurrentStates(), r.expected) << std::hex << r.control << " " << r.data;
    }
}

TEST_F(LinesTest, DataReadInInputModeSeesThePinsAndOutputModeTheLatch)
{
    OpenPort(bench);
    LptWriteData(0x3C);
    EXPECT_EQ(LptReadData(), 0x3Cu);
    bench.Port().DriveData(0xA5);
    LptDataInputMode();
    EXPECT_EQ(LptReadData(), 0xA5u);
    LptDataOutputMode();
    EXPECT_EQ(LptReadData(), 0x3Cu);
}

TEST_F(LinesTest, FailedAccessesAreDroppedStatesKeptAndReadsGiveZero)
{
    OpenPort(bench);
    LptWriteControl(0x04);
    LptWriteData(0x01);
    LptReadStatus();
    const LptStatusStates before = LptCurrentStates();
    bench.Port().FailAllAccesses(true);
    EXPECT_NO_THROW(LptReadStatus());
    EXPECT_EQ(LptCurrentStates(), before);
    EXPECT_EQ(LptReadData(), 0u);
    EXPECT_NO_THROW(LptWriteData(0x55));
    EXPECT_NO_THROW(LptWriteControl(0x0B));
    EXPECT_NO_THROW(LptDataInputMode());
    bench.Port().FailAllAccesses(false);
    EXPECT_EQ(bench.Port().DataLatch(), 0x01);
}

} // namespace
