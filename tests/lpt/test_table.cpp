#include <gtest/gtest.h>

#include "uLPT.h"

namespace {

TEST(StatusDecoding, BusyIsInvertedAndTheOptionInvertsAllFive)
{
    struct Row {
        std::uint32_t status;
        bool invert;
        LptStatusStates expected; // Ack, Busy, PaperEnd, Select, Error
    };
    const Row rows[] = {
        {0x00, false, {false, true, false, false, false}},
        {0xF8, false, {true, false, true, true, true}},
        {0x00, true, {true, false, true, true, true}},
        {0xF8, true, {false, true, false, false, false}},
        {0x78, true, {false, false, false, false, false}},
        {0x07, false, {false, true, false, false, false}}, // bits 2..0 change nothing
        {0xFF, false, {true, false, true, true, true}},
        {0x40, false, {true, true, false, false, false}},
        {0x20, false, {false, true, true, false, false}},
        {0x10, false, {false, true, false, true, false}},
        {0x08, false, {false, true, false, false, true}},
    };
    for (const Row& r : rows)
        EXPECT_EQ(LptDecodeStatus(r.status, r.invert), r.expected)
            << std::hex << r.status << " invert " << r.invert;
}

TEST(ControlAndDataEncoding, SwitchesOnDriveTheirPinsHigh)
{
    EXPECT_EQ(LptEncodeControl(false, false, false, false), 0x0Bu);
    EXPECT_EQ(LptEncodeControl(true, true, true, true), 0x04u);
    EXPECT_EQ(LptEncodeControl(true, false, true, false), 0x0Eu);
    EXPECT_EQ(LptEncodeControl(true, false, false, false), 0x0Au);
    EXPECT_EQ(LptEncodeControl(false, true, false, false), 0x09u);
    EXPECT_EQ(LptEncodeControl(false, false, false, true), 0x03u);

    std::array<bool, 8> d{};
    EXPECT_EQ(LptEncodeData(d), 0x00u);
    d[0] = true;
    EXPECT_EQ(LptEncodeData(d), 0x01u);
    d = {false, true, false, true, false, false, true, true};
    EXPECT_EQ(LptEncodeData(d), 0xCAu);
    d.fill(true);
    EXPECT_EQ(LptEncodeData(d), 0xFFu);
}

TEST(AddressForms, HexAndDecimalWithAtLeastThreeDigits)
{
    EXPECT_EQ(LptHexAddress(888), "378");
    EXPECT_EQ(LptHexAddress(956), "3BC");
    EXPECT_EQ(LptHexAddress(0), "000");
    EXPECT_EQ(LptHexAddress(0xDC00), "DC00");
    EXPECT_EQ(LptDecAddress(888), "888");
    EXPECT_EQ(LptDecAddress(0), "000");
    EXPECT_EQ(LptDecAddress(65535), "65535");
    EXPECT_EQ(LptHex(0x55), "55");
    EXPECT_EQ(LptHex(0x155), "155");
    EXPECT_EQ(LptHex(0), "0");
    EXPECT_EQ(LptHexByte(0x0A), "0A");
    EXPECT_EQ(LptHexByte(0xFF), "FF");
}

class SelectionTest : public ::testing::Test {
protected:
    void SetUp() override { LptResetState(); }
    void TearDown() override { LptResetState(); }
};

TEST_F(SelectionTest, InitialStateAndWidth)
{
    EXPECT_EQ(LptWidth, pwWord);
    EXPECT_EQ(SelectedAddress, 0);
    for (int n = 1; n <= 8; ++n) {
        EXPECT_FALSE(LptPorts[n].Detected);
        EXPECT_EQ(LptPorts[n].Address, 0);
    }
    LptSetWidth(pwByte);
    EXPECT_EQ(LptWidth, pwByte);
}

TEST_F(SelectionTest, SelectionIsRefusedWhileOpen)
{
    LptSelectAddress(888);
    EXPECT_EQ(LptSelectedAddress(), 888);
    PortOpen = true;
    LptSelectAddress(632);
    EXPECT_EQ(LptSelectedAddress(), 888);
    PortOpen = false;
    LptSelectAddress(632);
    EXPECT_EQ(LptSelectedAddress(), 632);
}

TEST_F(SelectionTest, SelectedIndexFindsTheLowestMatchingEntry)
{
    LptPorts[1].Address = 888;
    LptPorts[2].Address = 632;
    LptPorts[3].Address = 632;
    // entries 4..8 at address 0
    LptSelectAddress(632);
    EXPECT_EQ(LptSelectedIndex(), 2);
    LptSelectAddress(0);
    EXPECT_EQ(LptSelectedIndex(), 4);
    LptSelectAddress(956);
    EXPECT_EQ(LptSelectedIndex(), -1);
    LptPorts[7].Address = 956;
    EXPECT_EQ(LptSelectedIndex(), 7);
}

} // namespace
