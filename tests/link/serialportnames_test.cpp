#include <gtest/gtest.h>

#include "link/serialportnames.h"
#include "linktestsupport.h"

namespace zark {
namespace {

TEST(PortNames, ComNamesStandForTheDevicesFoundInOrder) {
    const std::vector<std::string> devices = {"/dev/ttyS0", "/dev/ttyUSB0", "/dev/ttyACM0"};
    EXPECT_EQ(SystemPortLocation("COM1", devices), "/dev/ttyS0");
    EXPECT_EQ(SystemPortLocation("com2", devices), "/dev/ttyUSB0");
    EXPECT_EQ(SystemPortLocation("COM3", devices), "/dev/ttyACM0");
    EXPECT_EQ(SystemPortLocation("COM4", devices), "");  // not on this machine
    EXPECT_EQ(SystemPortLocation("COM2", {}), "");
    // not COM names
    EXPECT_EQ(SystemPortLocation("COM0", devices), "/dev/COM0");
    EXPECT_EQ(SystemPortLocation("COMX", devices), "/dev/COMX");
    EXPECT_EQ(SystemPortLocation("ttyUSB0", devices), "/dev/ttyUSB0");
    EXPECT_EQ(SystemPortLocation("/dev/pts/7", devices), "/dev/pts/7");
    EXPECT_EQ(SystemPortLocation("", devices), "");
}

TEST(PortNames, SimulatorInAnyCase) {
    EXPECT_TRUE(IsSimulatorPort("Simulator"));
    EXPECT_TRUE(IsSimulatorPort("simulator"));
    EXPECT_FALSE(IsSimulatorPort("Simulator2"));
    EXPECT_FALSE(IsSimulatorPort(""));
    EXPECT_TRUE(PortPresent("Simulator"));
}

TEST(PortNames, StartupFallsBackToTheSimulatorOnlyWhenThePortIsMissing) {
    test::Pty pty;
    ASSERT_TRUE(pty.ok());
    EXPECT_EQ(StartupPort(pty.path()), pty.path());
    EXPECT_EQ(StartupPort("/dev/ttyNOSUCHPORT"), "Simulator");
    EXPECT_EQ(StartupPort("COM99"), "Simulator");
    EXPECT_EQ(StartupPort("Simulator"), "Simulator");
    EXPECT_EQ(StartupPort(""), "Simulator");
    EXPECT_FALSE(PortPresent("/dev/null/x"));
    EXPECT_FALSE(PortPresent("/etc/hostname"));  // a file is not a port
    EXPECT_FALSE(PortPresent(std::string(300, 'x')));
}

TEST(PortNames, ThePortBoxOffersTheUsualNamesAndTheSimulator) {
    const auto choices = PortChoices();
    ASSERT_GE(choices.size(), 3u);
    EXPECT_EQ(choices[0], "COM1");
    EXPECT_EQ(choices[1], "COM2");
    EXPECT_EQ(choices[2], "Simulator");
}

TEST(PortNames, TheLogSaysWhyTheSimulatedUnitIsUsedAndWhatACOMNameOpens) {
    const std::vector<std::string> one = {"/dev/ttyUSB0"};
    EXPECT_EQ(SessionPortLogText("COM2", "Simulator", one),
              "configured port COM2 not found on this machine; using the simulated unit (COM2 means serial device "
              "number 2; serial devices found: /dev/ttyUSB0)");
    EXPECT_EQ(SessionPortLogText("/dev/ttyUSB1", "Simulator", {}),
              "configured port /dev/ttyUSB1 not found on this machine; using the simulated unit (serial devices "
              "found: none)");
    EXPECT_EQ(SessionPortLogText("Simulator", "Simulator", one),
              "the configured port is the simulated unit; using the simulated unit (serial devices found: /dev/ttyUSB0)");
    EXPECT_EQ(SessionPortLogText("", "Simulator", {}),
              "no port configured; using the simulated unit (serial devices found: none)");
    const std::string log = SessionPortLogText(std::string(300, 'p'), "Simulator", {});
    EXPECT_NE(log.find(std::string(255, 'p') + "... is longer than 255 characters"), std::string::npos);
    EXPECT_EQ(log.find(std::string(256, 'p')), std::string::npos);
    // a real port: a COM name says which device it opens, a path needs no word
    EXPECT_EQ(SessionPortLogText("COM2", "COM2", {"/dev/ttyS0", "/dev/ttyUSB0"}),
              "configured port COM2 is /dev/ttyUSB0 on this machine (COM2 means serial device number 2; serial "
              "devices found: /dev/ttyS0, /dev/ttyUSB0)");
    EXPECT_EQ(SessionPortLogText("/dev/ttyUSB0", "/dev/ttyUSB0", one), "");
}

}  // namespace
}  // namespace zark
