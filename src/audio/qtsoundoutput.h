#pragma once

#include <QThread>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "audio/soundoutput.h"

namespace zark {

class SoundEngine;

// The sound output on Qt Multimedia. The sound device is driven from a thread of the output's
// own, so a sound plays on while the user-interface thread is busy, and a caller may wait for a
// sound on any thread (the Test Sound sweep waits on the user-interface thread). Each sound opens
// a fresh stream in the sound's own format, so a new sound starts without waiting for the rest
// of the old one. Without a sound device every sound ends at once; that is logged once.
class QtSoundOutput final : public SoundOutput {
public:
    QtSoundOutput();
    ~QtSoundOutput() override;
    QtSoundOutput(const QtSoundOutput&) = delete;
    QtSoundOutput& operator=(const QtSoundOutput&) = delete;

    void Play(SoundPtr sound, bool loop) override;
    void PlayAndWait(SoundPtr sound) override;
    void Stop() override;

    // Microseconds from the last Play to the first samples of that sound handed to the device;
    // -1 until a sound has started.
    std::int64_t LastStartMicroseconds() const { return startMicroseconds_.load(); }
    // Whether the last sound reached a device.
    bool DeviceWorked() const { return deviceWorked_.load(); }

private:
    friend class SoundEngine;
    std::uint64_t Request(SoundPtr sound, bool loop);
    void Ended(std::uint64_t id);
    bool IsLatest(std::uint64_t id) const { return latest_.load() == id; }

    QThread thread_;
    SoundEngine* engine_ = nullptr;
    std::mutex mutex_;
    std::condition_variable endedChanged_;
    std::atomic<std::uint64_t> latest_{0};  // the id of the last request
    std::uint64_t ended_ = 0;               // every sound up to this id has ended
    std::atomic<std::int64_t> startMicroseconds_{-1};
    std::atomic<bool> deviceWorked_{false};
};

}  // namespace zark
