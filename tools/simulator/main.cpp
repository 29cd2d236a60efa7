// zark_simulator: the simulated detector unit on a pseudo-terminal, so that ZARK's real serial
// path can be used without a unit. It prints the device path; point the "Communication" setting
// (Customize, ZARK page) at it, or at the --link path.
//
//   zark_simulator [--seed N] [--profile beginner|club|elite] [--no-runs] [--link PATH] [--seconds N] [--quiet]
//                  [--drill rapid8|rapid6|rapid4|standard150|standard20|standard10|duel|precision]
//
// With --drill the shooter shoots that timed series as ZARK runs it: the tool keeps the drill's
// clock from every setup block that starts the stream (a series started, or continued after F3)
// and the shooter follows its calls. The tool cannot hear ZARK's random start.
//
// A pseudo-terminal has no modem lines, so the moving-target runs the unit would announce through
// CTS and DSR are only printed.
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "core/timedseries.h"
#include "link/detectordecoder.h"
#include "link/rangecall.h"
#include "link/simulator.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }

struct Options {
    zark::SimulatorOptions unit;
    std::string link;
    double seconds = 0;  // 0: until interrupted
    bool quiet = false;
    bool drill = false;
    zark::TimedPreset preset = zark::TimedPreset::Rapid8;
};

bool ParseDrill(const std::string& name, zark::TimedPreset& preset) {
    static const char* const names[] = {"rapid8",     "rapid6", "rapid4", "standard150", "standard20",
                                        "standard10", "duel",   "precision"};
    for (int i = 0; i < int(std::size(names)); ++i)
        if (name == names[i]) {
            preset = zark::TimedPreset(i);
            return true;
        }
    return false;
}

// The drill's clock on the samples the unit sends, as the program keeps it on its trace.
class DrillClock {
public:
    explicit DrillClock(zark::TimedDrill drill) : drill_(drill) {}
    // Before a step: what the range calls.
    void Call(zark::DetectorSimulator& unit) {
        if (unit.streaming() && unit.streamStart() != started_) {
            started_ = unit.streamStart();
            sequence_.Start(drill_, zark::DetectorSimulator::kStepMs, std::uint32_t(started_), 0);
            points_ = 0;
            shots_ = unit.shotCount();
        }
        unit.Hear(started_ >= 0 ? zark::CallOf(sequence_) : zark::RangeCall{});
    }
    // After it: a sample, and a shot as a point of its own. Returns the timing of a shot, if any.
    bool Count(const zark::DetectorSimulator& unit, zark::TimedShot& shot) {
        if (!unit.streaming() || started_ < 0) return false;
        ++points_;
        const bool fired = unit.shotCount() != shots_;
        shots_ = unit.shotCount();
        if (fired) shot = sequence_.OnShot(points_++);
        events_ = sequence_.AdvanceTo(points_ - 1);
        return fired;
    }
    const std::vector<zark::TimedEvent>& Events() const { return events_; }

private:
    zark::TimedDrill drill_;
    zark::TimedSequence sequence_;
    std::int64_t started_ = -1;
    std::int32_t points_ = 0;
    int shots_ = 0;
    std::vector<zark::TimedEvent> events_;
};

void Usage() {
    std::fprintf(stderr,
                 "usage: zark_simulator [--seed N] [--profile beginner|club|elite] [--no-runs] [--link PATH] "
                 "[--seconds N] [--quiet]\n"
                 "       [--drill rapid8|rapid6|rapid4|standard150|standard20|standard10|duel|precision]\n");
}

bool ParseArguments(int argc, char** argv, Options& options) {
    options.unit.seed = std::uint32_t(std::chrono::steady_clock::now().time_since_epoch().count());
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--seed" && hasValue) {
            options.unit.seed = std::uint32_t(std::strtoul(argv[++i], nullptr, 10));
        } else if (arg == "--profile" && hasValue) {
            if (!zark::ParseShooterProfile(argv[++i], options.unit.profile)) return false;
        } else if (arg == "--no-runs") {
            options.unit.movingRuns = false;
        } else if (arg == "--link" && hasValue) {
            options.link = argv[++i];
        } else if (arg == "--seconds" && hasValue) {
            options.seconds = std::strtod(argv[++i], nullptr);
        } else if (arg == "--quiet") {
            options.quiet = true;
        } else if (arg == "--drill" && hasValue) {
            if (!ParseDrill(argv[++i], options.preset)) return false;
            options.drill = true;
        } else {
            return false;
        }
    }
    return true;
}

void MakeRaw(int fd) {
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) return;
    ::cfmakeraw(&tio);
    ::tcsetattr(fd, TCSANOW, &tio);
}

// Writes what the master side can take; a pseudo-terminal nobody reads drops the rest.
void WriteAll(int fd, const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += std::size_t(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            return;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseArguments(argc, argv, options)) {
        Usage();
        return 2;
    }
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        std::fprintf(stderr, "zark_simulator: no pseudo-terminal: %s\n", std::strerror(errno));
        return 1;
    }
    const std::string device = ::ptsname(master);
    // Holding the far end open keeps the master readable while ZARK has the port closed, and the
    // terminal raw from the start, so nothing is echoed or translated.
    const int slave = ::open(device.c_str(), O_RDWR | O_NOCTTY);
    if (slave < 0) {
        std::fprintf(stderr, "zark_simulator: cannot open %s: %s\n", device.c_str(), std::strerror(errno));
        return 1;
    }
    MakeRaw(slave);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    if (!options.link.empty()) {
        struct stat info {};
        if (::lstat(options.link.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) ::unlink(options.link.c_str());
        if (::symlink(device.c_str(), options.link.c_str()) != 0) {
            std::fprintf(stderr, "zark_simulator: cannot link %s: %s\n", options.link.c_str(), std::strerror(errno));
            options.link.clear();
        }
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGPIPE, SIG_IGN);

    std::printf("%s\n", device.c_str());
    if (!options.quiet) {
        std::printf("ZARK detector simulator (%s shooter, seed %u) on %s%s%s\n",
                    zark::ShooterProfileName(options.unit.profile), options.unit.seed, device.c_str(),
                    options.link.empty() ? "" : ", linked as ", options.link.c_str());
        std::printf("Set the ZARK port (Customize, ZARK page) to that path; Ctrl+C ends.\n");
    }
    std::fflush(stdout);

    zark::DetectorSimulator unit(options.unit);
    DrillClock drill(zark::DrillOfPreset(options.preset));
    using Clock = std::chrono::steady_clock;
    const auto step = std::chrono::milliseconds(zark::DetectorSimulator::kStepMs);
    const auto start = Clock::now();
    auto next = start + step;
    std::vector<std::uint8_t> out;
    bool wasStreaming = false;
    int shots = 0;
    while (!g_stop) {
        if (options.seconds > 0 && Clock::now() - start >= std::chrono::duration<double>(options.seconds)) break;
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(next - Clock::now()).count();
        pollfd in{master, POLLIN, 0};
        const int r = ::poll(&in, 1, int(std::max<long long>(0, wait)));
        if (r > 0 && (in.revents & POLLIN)) {
            std::uint8_t buffer[256];
            const ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n > 0) {
                out.clear();
                unit.Receive(buffer, std::size_t(n), out);
                WriteAll(master, out);
            }
        }
        if (Clock::now() < next) continue;
        next += step;
        out.clear();
        if (options.drill) drill.Call(unit);
        const std::uint32_t lines = unit.Step(out);
        WriteAll(master, out);
        zark::TimedShot timing;
        const bool timedShot = options.drill && drill.Count(unit, timing);
        if (options.quiet) continue;
        if (options.drill) {
            static const char* const words[] = {"load", "attention", "fire", "stop", "drill over"};
            for (const zark::TimedEvent& e : drill.Events()) std::printf("%s\n", words[int(e.signal)]);
        }
        if (unit.streaming() != wasStreaming) {
            wasStreaming = unit.streaming();
            if (wasStreaming) {
                const zark::SimulatorSetup& s = unit.setup();
                std::printf("connected: scale %u, offset (%d, %d), %d ms between shots\n", s.scale, s.offsetX,
                            s.offsetY, s.steps * zark::DetectorSimulator::kStepMs);
            } else {
                std::printf("disconnected\n");
            }
        }
        if (lines) std::printf("run on side %d (not signalled: no modem lines)\n", (lines & zark::EV_DSR) ? 1 : 0);
        if (unit.shotCount() != shots) {
            shots = unit.shotCount();
            if (timedShot)
                std::printf("shot %d %s\n", shots, timing.late ? "late" : "in time");
            else
                std::printf("shot %d\n", shots);
        }
        std::fflush(stdout);
    }
    if (!options.link.empty()) ::unlink(options.link.c_str());
    ::close(slave);
    ::close(master);
    return 0;
}
