#include <gtest/gtest.h>

#include "BenchPort.h"
#include "OsApi.h"

namespace {

using bench::BenchPort;

// Status register bits for the five inputs: Busy 0x80 (inverted), Ack 0x40, PaperEnd 0x20,
// Select 0x10, Error 0x08; bits 2..0 read 1.
TEST(BenchPort, LoopbackWiresEachOutputToItsInput)
{
    struct Row {
        std::uint8_t control, data, status;
    };
    // Control 0x0B: Strobe, AutoFeed, Select-in low, Init low. So Select, PaperEnd low,
    // Busy pin low (bit 7 set), Ack low.
    const Row rows[] = {
        {0x0B, 0x00, 0x87},
        {0x0A, 0x00, 0x97}, // Strobe high -> Select
        {0x09, 0x00, 0xA7}, // AutoFeed high -> PaperEnd
        {0x0F, 0x00, 0xC7}, // Init high -> Ack
        {0x03, 0x00, 0x07}, // Select-in high -> Busy high, bit 7 clear
        {0x0B, 0x01, 0x8F}, // D0 high -> Error
        {0x0B, 0xFE, 0x87}, // other data lines are not wired
        {0x04, 0xFF, 0x7F}, // everything high
    };
    for (const Row& r : rows) {
        BenchPort p;
        p.Write(890, r.control);
        p.Write(888, r.data);
        EXPECT_EQ(p.Read(889), r.status) << int(r.control) << " " << int(r.data);
    }
}

TEST(BenchPort, InputModeReadsThePinsAndUndrivenPinsReadOne)
{
    BenchPort p;
    p.Write(890, 0x0B);
    p.Write(888, 0x00);
    EXPECT_EQ(p.Read(888), 0x00); // output mode: the latch
    p.Write(890, 0x20);
    EXPECT_TRUE(p.DataInputMode());
    EXPECT_EQ(p.Read(888), 0xFF);
    EXPECT_EQ(p.Read(889) & 0x08, 0x08); // D0 floats high and pulls Error with it
    p.DriveData(0x5A);
    EXPECT_EQ(p.Read(888), 0x5A);
    p.Write(890, 0x00);
    EXPECT_EQ(p.Read(888), 0x00);
}

TEST(BenchPort, OtherAddressesAreAnEmptyBus)
{
    BenchPort p;
    p.Write(632, 0x55);
    EXPECT_EQ(p.Read(632), 0xFF);
    EXPECT_EQ(p.DataLatch(), 0x00);
}

TEST(BenchPort, PlugRemovalDrivenInputsAndFailures)
{
    BenchPort p;
    p.Write(890, 0x04); // every output high
    p.SetPlugInserted(false);
    EXPECT_EQ(p.Read(889), 0x7F); // open inputs pulled high, Busy bit clear
    p.DriveInput(10, false);
    EXPECT_EQ(p.Read(889) & 0x40, 0x00);
    p.SetPlugInserted(true);
    p.Write(890, 0x0B);
    EXPECT_EQ(p.Read(889) & 0x40, 0x00); // Init low and Ack driven low anyway
    p.DriveInput(10, std::nullopt);

    p.FailNextAccess();
    EXPECT_THROW(p.Write(888, 0x12), port::PortAccessError);
    EXPECT_EQ(p.DataLatch(), 0x00);
    EXPECT_NO_THROW(p.Write(888, 0x12));
    p.FailAllAccesses(true);
    EXPECT_THROW(p.Read(889), port::PortAccessError);
    EXPECT_THROW(p.Read(889), port::PortAccessError);
}

} // namespace
