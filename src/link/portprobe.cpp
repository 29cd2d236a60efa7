#include "link/portprobe.h"

#include <cerrno>
#include <chrono>

#include "diag/diagnostics.h"
#include "link/serialworker.h"
#include "link/setupblock.h"

namespace zark {

int PortProbe(SerialWorker& worker, const std::string& portName) {
    return ProbePort(worker, portName).outcome == PortProbeAnswer::Outcome::Answered ? 1 : 0;
}

PortProbeAnswer ProbePort(SerialWorker& worker, const std::string& portName) {
    using Outcome = PortProbeAnswer::Outcome;
    worker.Disconnect();
    // a port the link holds is let go within a moment; the probe then gets it
    worker.WaitUntilPortReleased(std::chrono::milliseconds(SerialWorker::kWriteTimeoutMs));
    const char* name = portName.c_str();
    std::unique_ptr<SerialPort> port = worker.MakePort(portName);
    if (!port) {
        ReportError(ENODEV, "failed to open communications port '%.255s'", name);
        return {Outcome::CannotOpen, ENODEV};
    }
    if (const int error = port->Open(portName)) {
        ReportError(error, "failed to open communications port '%.255s'", name);
        return {Outcome::CannotOpen, error};
    }
    if (const int error = port->SetLineParameters()) {
        ReportError(error, "failed to set communication parameters");
        port->Close();
        return {Outcome::CannotOpen, error};
    }
    port->Write(&kProbeByte, 1, SerialWorker::kWriteTimeoutMs);  // the answer decides
    int error = 0;
    const int answered = port->ReadOne(kProbeTimeoutMs, error);
    if (answered == 0) ReportError(0, "timeout reading from port '%.255s'", name);
    port->Close();
    if (answered == 1) return {Outcome::Answered, 0};
    return {Outcome::NoAnswer, answered < 0 ? error : 0};
}

int PortProbe(const std::string& portName) { return PortProbe(SerialWorker::Process(), portName); }

}  // namespace zark
