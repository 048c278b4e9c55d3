#include <QTimer>
#include <gtest/gtest.h>

#include "uMisc.h"

namespace {

// A tick counter that advances by one on every read, starting from a chosen value.
std::uint32_t fakeTicks = 0;
std::uint32_t FakeTicks() { return fakeTicks++; }

class DelayTest : public ::testing::Test {
protected:
    void SetUp() override { SetTickSource(&FakeTicks); }
    void TearDown() override { SetTickSource(nullptr); }
};

TEST_F(DelayTest, ZeroWaitsForOneTickAndPumpsMessages)
{
    fakeTicks = 1000;
    bool pumped = false;
    QTimer::singleShot(0, [&] { pumped = true; });
    Delay(0);
    EXPECT_TRUE(pumped);
    EXPECT_EQ(fakeTicks, 1002u); // the start read, then one read past it
}

TEST_F(DelayTest, WaitAcrossTheWrapOfTheCounterLastsTheRequestedTime)
{
    fakeTicks = 0xFFFFFFFFu - 30;
    Delay(100);
    // Start at 2^32 - 31; it ends at the first read more than 100 ticks later.
    EXPECT_EQ(fakeTicks, std::uint32_t(0xFFFFFFFFu - 30 + 102));
}

TEST(Selectors, PickByFlag)
{
    EXPECT_EQ(IfThenStr(true, "a", "b"), "a");
    EXPECT_EQ(IfThenStr(false, "a", "b"), "b");
    EXPECT_EQ(IfThenInt(true, 1, 2), 1);
    EXPECT_EQ(IfThenInt(false, 1, 2), 2);
}

TEST(Paths, ApplicationDirectoryAndPreferencesFile)
{
    struct Row {
        const char *exe, *dir, *ini;
    };
    const Row rows[] = {
        {"D:\\Bench\\App.exe", "D:\\Bench\\", "D:\\Bench\\App.ini"},
        {"D:\\Bench.old\\App", "D:\\Bench.old\\", "D:\\Bench.old\\App.ini"},
        {"D:App.exe", "D:", "D:App.ini"},
        {"/opt/tamsel/tamsel-demo", "/opt/tamsel/", "/opt/tamsel/tamsel-demo.ini"},
        {"/home/u/bench.v2/tamsel", "/home/u/bench.v2/", "/home/u/bench.v2/tamsel.ini"},
        {"/home/u/app.tar.gz", "/home/u/", "/home/u/app.tar.ini"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(AppDirOf(r.exe), r.dir) << r.exe;
        EXPECT_EQ(PrefsFileNameOf(r.exe), r.ini) << r.exe;
    }
}

} // namespace
