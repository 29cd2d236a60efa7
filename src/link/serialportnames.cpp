#include "link/serialportnames.h"

#include <QSerialPortInfo>
#include <algorithm>
#include <cctype>
#include <tuple>

#if defined(__unix__) || defined(__APPLE__)
#include <sys/stat.h>
#endif

namespace zark {
namespace {

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// The n of "COMn" (n from 1), or 0 when the name is not of that form.
int ComNumber(const std::string& name) {
    if (name.size() < 4 || name.size() > 6 || !EqualsIgnoringCase(name.substr(0, 3), "COM")) return 0;
    int n = 0;
    for (std::size_t i = 3; i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return 0;
        n = n * 10 + (name[i] - '0');
    }
    return n;
}

// Sort key of a device path: its family, then its number, then the name.
std::tuple<int, long, std::string> DeviceKey(const std::string& path) {
    const std::string base = path.substr(path.find_last_of('/') + 1);
    static const char* const families[] = {"ttyS", "ttyUSB", "ttyACM"};
    int family = 3;
    std::size_t prefix = 0;
    for (int i = 0; i < 3; ++i) {
        const std::string f = families[i];
        const bool digitsFollow = base.size() > f.size() && std::isdigit(static_cast<unsigned char>(base[f.size()]));
        if (base.compare(0, f.size(), f) == 0 && digitsFollow) {
            family = i;
            prefix = f.size();
        }
    }
    long number = 0;
    if (family < 3) {
        for (std::size_t i = prefix; i < base.size() && std::isdigit(static_cast<unsigned char>(base[i])); ++i)
            number = std::min(number * 10 + (base[i] - '0'), 1000000L);
    }
    return {family, number, base};
}

}  // namespace

bool IsSimulatorPort(const std::string& name) { return EqualsIgnoringCase(name, kSimulatorPort); }

std::vector<std::string> SerialDevices() {
    std::vector<std::string> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        devices.push_back(info.systemLocation().toStdString());
    std::sort(devices.begin(), devices.end(),
              [](const std::string& a, const std::string& b) { return DeviceKey(a) < DeviceKey(b); });
    devices.erase(std::unique(devices.begin(), devices.end()), devices.end());
    return devices;
}

std::string SystemPortLocation(const std::string& name) {
#if defined(__unix__) || defined(__APPLE__)
    // the device list is looked up only for COM names
    if (ComNumber(name) > 0) return SystemPortLocation(name, SerialDevices());
    return SystemPortLocation(name, {});
#else
    return name;
#endif
}

std::string SystemPortLocation(const std::string& name, const std::vector<std::string>& devices) {
#if defined(__unix__) || defined(__APPLE__)
    if (name.empty()) return {};
    if (const int n = ComNumber(name); n > 0) return std::size_t(n) <= devices.size() ? devices[n - 1] : std::string();
    if (name.find('/') != std::string::npos) return name;
    return "/dev/" + name;
#else
    (void)devices;
    return name;
#endif
}

bool PortPresent(const std::string& name) {
    if (IsSimulatorPort(name)) return true;
    if (name.empty() || name.size() > kMaxPortName) return false;
#if defined(__unix__) || defined(__APPLE__)
    const std::string location = SystemPortLocation(name);
    struct stat info {};
    return !location.empty() && ::stat(location.c_str(), &info) == 0 && S_ISCHR(info.st_mode);
#else
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (EqualsIgnoringCase(info.portName().toStdString(), name) ||
            EqualsIgnoringCase(info.systemLocation().toStdString(), name))
            return true;
    }
    return false;
#endif
}

std::string StartupPort(const std::string& configured) {
    return PortPresent(configured) ? configured : std::string(kSimulatorPort);
}

std::string SessionPortLogText(const std::string& configured, const std::string& sessionPort) {
    return SessionPortLogText(configured, sessionPort, SerialDevices());
}

std::string SessionPortLogText(const std::string& configured, const std::string& sessionPort,
                               const std::vector<std::string>& devices) {
    const std::string name = configured.substr(0, kMaxPortName);
    std::string found;
    for (const std::string& device : devices) found += (found.empty() ? "" : ", ") + device;
    found = "serial devices found: " + (found.empty() ? std::string("none") : found);
    std::string mapping;  // how a COM name is read on systems without COM ports
#if defined(__unix__) || defined(__APPLE__)
    if (const int n = ComNumber(configured); n > 0) mapping = name + " means serial device number " + std::to_string(n) + "; ";
#endif
    if (!IsSimulatorPort(sessionPort)) {
        if (mapping.empty()) return {};
        return "configured port " + name + " is " + SystemPortLocation(configured, devices) + " on this machine (" +
               mapping + found + ")";
    }
    std::string why;
    if (IsSimulatorPort(configured))
        why = "the configured port is the simulated unit";
    else if (configured.empty())
        why = "no port configured";
    else if (configured.size() > kMaxPortName)
        why = "configured port " + name + "... is longer than 255 characters";
    else
        why = "configured port " + name + " not found on this machine";
    return why + "; using the simulated unit (" + mapping + found + ")";
}

std::vector<std::string> PortChoices() {
    std::vector<std::string> choices = {"COM1", "COM2", kSimulatorPort};
    for (const std::string& device : SerialDevices()) {
        if (std::find(choices.begin(), choices.end(), device) == choices.end()) choices.push_back(device);
    }
    return choices;
}

}  // namespace zark
