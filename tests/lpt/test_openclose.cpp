#include "LptFixture.h"

namespace {

using fake::LogLine;

class OpenCloseTest : public LptFixture {};

TEST_F(OpenCloseTest, DetectedPortOpensThenClosesWithItsLinesAndIndicatorsInOrder)
{
    Start(bench);
    SelectDetected();
    LptOpen();
    EXPECT_TRUE(PortOpen);
    EXPECT_TRUE(DriverLoaded);
    EXPECT_EQ(host.trace, (std::vector<std::string>{
                              "log black Chargement driver port parallèle...",
                              "driver led standby 0", "loop led standby 0",
                              "driver led active 0", // before the load
                              "driver led active 1",
                              "label Driver port parallèle chargé avec succès.",
                              "log green Chargement driver port parallèle : OK.", "update"}));
    host.trace.clear();
    LptClose();
    EXPECT_FALSE(PortOpen);
    EXPECT_TRUE(DriverLoaded); // the unload does not clear it
    EXPECT_EQ(host.trace, (std::vector<std::string>{
                              "request loop stop", // first: a running loop reads no more
                              "log black Déchargement driver port parallèle...",
                              "driver led standby 1", "driver led active 1", // still open
                              "driver led active 0",
                              "label Driver port parallèle déchargé avec succès.",
                              "log green Déchargement driver port parallèle : OK.", "update"}));
}

TEST_F(OpenCloseTest, CloseOnNtStopsAndDeletesTheServiceAndAReopenMakesNoServiceCall)
{
    Start(nt); // installs and starts the driver
    ASSERT_TRUE(DriverOpen);
    SelectDetected();
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
    EXPECT_FALSE(PortOpen);
    LptSelectAddress(0x1234); // matches no entry
    for (int n = 1; n <= 8; ++n)
        LptPorts[n].Address = n == 1 ? 888 : 632;
    LptOpen();
    EXPECT_EQ(host.trace, (std::vector<std::string>{
                              "log red Impossible de charger le driver du port parallèle (port non détecté)",
                              "log red Aucun port parallèle sélectionné !"}));
}

TEST_F(OpenCloseTest, UnavailableDriverRunsTheWholeOpenAndReportsTheError)
{
    nt.existingFiles.clear(); // the start fails
    Start(nt);
    ASSERT_FALSE(DriverOpen);
    SelectDetected();
    LptOpen();
    EXPECT_FALSE(PortOpen);
    EXPECT_EQ(host.trace, (std::vector<std::string>{
                              "log black Chargement driver port parallèle...",
                              "driver led standby 0", "loop led standby 0", "driver led active 0",
                              "driver led active 0",
                              "label Driver port parallèle non chargé - Erreur !",
                              "log red Chargement driver port parallèle : Erreur !", "update"}));
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
