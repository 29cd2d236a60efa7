#pragma once

#include <string>

namespace zark {

class SerialWorker;

inline constexpr int kProbeTimeoutMs = 2000;

// What a probe found: a unit that answered, a port that opened but stayed silent, or a port that
// could not be opened or set up (error holds the system's code, ENODEV for a name that names no
// port).
struct PortProbeAnswer {
    enum class Outcome { Answered, NoAnswer, CannotOpen };
    Outcome outcome = Outcome::NoAnswer;
    int error = 0;
};

// Tests whether a detector unit answers on a port: asks the worker to close the port (and waits up
// to 1000 ms for it to let go), opens the port on a handle of its own at "9600,n,8,1", writes 0x0D
// and waits up to 2000 ms for one byte. Returns 1 when a byte came, 0 otherwise; failures are
// logged. The worker stays disconnected until its next connect request. Runs on the main thread
// (the customize dialog waits for it).
int PortProbe(SerialWorker& worker, const std::string& portName);
int PortProbe(const std::string& portName);  // with the process's worker

// The same probe, telling why it failed. The worker's requests may be made from any thread, so
// this may run off the main thread (the customize dialog keeps responding while it waits).
PortProbeAnswer ProbePort(SerialWorker& worker, const std::string& portName);

}  // namespace zark
