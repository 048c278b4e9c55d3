#include "LptFixture.h"

namespace {

using fake::LogLine;

class OpenCloseTest : public LptFixture {
protected:
    void SelectDetected(int n, std::uint16_t address)
    {
        LptPorts[n] = {true, address};
        LptSelectAddress(address);
    }
};

TEST_F(OpenCloseTest, DetectedPortOpensThenClosesWithItsLinesAndIndicators)
{
    Start(bench);
    SelectDetected(1, 888);
    LptOpen();
    EXPECT_TRUE(PortOpen);
    EXPECT_TRUE(DriverLoaded);
    EXPECT_EQ(host.log, (std::vector<LogLine>{{"Chargement driver port parallèle...", clBlack},
                                              {"Chargement driver port parallèle : OK.", clGreen}}));
    EXPECT_EQ(host.driverStatusText, "Driver port parallèle chargé avec succès.");
    EXPECT_TRUE(host.driverLedActive);
    EXPECT_FALSE(host.driverLedStandBy);
    EXPECT_FALSE(host.loopLedStandBy);
    EXPECT_EQ(host.updates, 1);

    host.log.clear();
    LptClose();
    EXPECT_FALSE(PortOpen);
    EXPECT_TRUE(DriverLoaded); // the unload does not clear it
    EXPECT_EQ(host.log,
              (std::vector<LogLine>{{"Déchargement driver port parallèle...", clBlack},
                                    {"Déchargement driver port parallèle : OK.", clGreen}}));
    EXPECT_EQ(host.driverStatusText, "Driver port parallèle déchargé avec succès.");
    EXPECT_TRUE(host.driverLedStandBy);
    EXPECT_FALSE(host.driverLedActive);
    EXPECT_EQ(host.updates, 2);
}

TEST_F(OpenCloseTest, CloseOnNtStopsAndDeletesTheServiceAndAReopenMakesNoServiceCall)
{
    Start(nt); // installs and starts the driver
    ASSERT_TRUE(DriverOpen);
    SelectDetected(1, 888);
    LptOpen();
    ASSERT_TRUE(PortOpen);
    nt.ClearCalls();
    LptClose();
    EXPECT_EQ(nt.services.count("zlportio"), 0u);
    EXPECT_EQ(nt.CallCount("ControlService"), 1u);
    EXPECT_EQ(nt.CallCount("DeleteService"), 1u);

    nt.ClearCalls();
    host.log.clear();
    LptOpen();
    EXPECT_TRUE(PortOpen);
    EXPECT_EQ(nt.CallCount("OpenSCManager"), 0u);
    EXPECT_EQ(host.log.back(), (LogLine{"Chargement driver port parallèle : OK.", clGreen}));
    // the device handle opened at start-up goes on serving requests
    LptSetWidth(pwByte);
    LptWriteData(0x55);
    EXPECT_EQ(LptReadData(), 0x55u);
}

TEST_F(OpenCloseTest, RefusalsLogOneRedLineAndChangeNothing)
{
    Start(bench);
    LptPorts[1] = {false, 888};
    LptSelectAddress(888);
    LptOpen();
    EXPECT_EQ(host.log, (std::vector<LogLine>{
                            {"Impossible de charger le driver du port parallèle (port non détecté)",
                             clRed}}));
    EXPECT_FALSE(PortOpen);

    host.log.clear();
    LptSelectAddress(0x1234); // matches no entry
    for (int n = 1; n <= 8; ++n)
        LptPorts[n].Address = n == 1 ? 888 : 632;
    LptOpen();
    EXPECT_EQ(host.log, (std::vector<LogLine>{{"Aucun port parallèle sélectionné !", clRed}}));
    EXPECT_EQ(host.updates, 0);
    EXPECT_EQ(host.driverStatusText, "Driver port parallèle non chargé");
    EXPECT_TRUE(host.driverLedStandBy);
}

TEST_F(OpenCloseTest, UnavailableDriverRunsTheWholeOpenAndReportsTheError)
{
    nt.existingFiles.clear(); // the start fails
    Start(nt);
    ASSERT_FALSE(DriverOpen);
    SelectDetected(1, 888);
    LptOpen();
    EXPECT_FALSE(PortOpen);
    EXPECT_EQ(host.log,
              (std::vector<LogLine>{{"Chargement driver port parallèle...", clBlack},
                                    {"Chargement driver port parallèle : Erreur !", clRed}}));
    EXPECT_EQ(host.driverStatusText, "Driver port parallèle non chargé - Erreur !");
    EXPECT_FALSE(host.driverLedActive);
    EXPECT_EQ(host.updates, 1);
}

TEST_F(OpenCloseTest, CloseRequestsTheLoopStopFirst)
{
    Start(bench);
    SelectDetected(1, 888);
    LptOpen();
    host.loopRunning = true;
    LptClose();
    EXPECT_TRUE(host.stopRequested);
}

TEST_F(OpenCloseTest, SelectionLineAndRefusedSelection)
{
    Start(bench);
    LptPorts[1] = {false, 888};
    LptPorts[2] = {true, 632};
    LptSelectPort(2);
    LptSelectPort(1);
    EXPECT_EQ(host.log, (std::vector<LogLine>{
                            {"Sélection port parallèle LPT2 (port detecté)", clBlack},
                            {"Sélection port parallèle LPT1 (port non detecté)", clRed}}));
    PortOpen = true;
    host.log.clear();
    LptSelectPort(2);
    EXPECT_TRUE(host.log.empty());
    EXPECT_EQ(SelectedAddress, 888);
}

} // namespace
