#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace zark {

// The port choice that plays the built-in simulated detector unit instead of a device.
inline constexpr char kSimulatorPort[] = "Simulator";

// A port name is kept to this many characters; a longer one is refused when it is opened.
inline constexpr std::size_t kMaxPortName = 255;

// "Simulator", in any letter case.
bool IsSimulatorPort(const std::string& name);

// The serial devices found on the machine, in the order "COM1", "COM2", ... stand for on systems
// without COM names: /dev/ttyS*, then /dev/ttyUSB*, /dev/ttyACM*, then any other, each by number.
std::vector<std::string> SerialDevices();

// What to open for a port name. On Windows the name itself. Elsewhere "COMn" is the n-th of the
// devices (empty when there are fewer), a name with a "/" is a path, and any other name is taken
// from /dev ("ttyUSB0" is /dev/ttyUSB0).
std::string SystemPortLocation(const std::string& name);
std::string SystemPortLocation(const std::string& name, const std::vector<std::string>& devices);

// Whether the port can be found on the machine now; the simulator always can.
bool PortPresent(const std::string& name);

// The port to start with: the configured one when it can be found, else "Simulator", so the
// program runs on the simulated unit when no unit is connected. The stored setting stays as it is.
std::string StartupPort(const std::string& configured);

// What the log says about the port a session starts with, without a line end: why the simulated
// unit stands in for the configured port ("configured port COM2 not found on this machine; using
// the simulated unit (...serial devices found: ...)"), or which device a "COMn" name opens here.
// Empty when there is nothing to say (a device path that is present, "COMn" on Windows).
std::string SessionPortLogText(const std::string& configured, const std::string& sessionPort);
std::string SessionPortLogText(const std::string& configured, const std::string& sessionPort,
                               const std::vector<std::string>& devices);

// The choices of the port box: "COM1", "COM2", "Simulator", then the devices found on the machine.
std::vector<std::string> PortChoices();

}  // namespace zark
