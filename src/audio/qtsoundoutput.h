#pragma once

#include <algorithm>

#include <QThread>
#include <atomic>

#include "audio/soundmixer.h"

namespace zark {

class SoundStream;

// The sound output on Qt Multimedia: the mixer's stream played on the default device. The stream
// is opened once, when the output is built, with its buffer set once; from then on a timer of a
// thread of the output's own renders what the device has room for every 5 ms, so its queue stays
// full at a fixed depth and the sound plays on while the user-interface thread is busy. No sound
// stops or restarts it. It is opened again only when the
// device goes away or fails. Without a sound device the program runs silently (every clip ends as
// it starts); that is logged once.
class QtSoundOutput final : public SoundMixer {
public:
    static constexpr int kBufferMs = 100;  // what the device is asked to hold ahead

    QtSoundOutput();
    ~QtSoundOutput() override;
    QtSoundOutput(const QtSoundOutput&) = delete;
    QtSoundOutput& operator=(const QtSoundOutput&) = delete;

    // Whether the stream has reached a device.
    bool DeviceWorked() const { return deviceWorked_.load(); }
    // The buffer the device granted, in milliseconds (the latency it adds); -1 before it opened.
    int BufferMs() const { return bufferMs_.load(); }
    int LatencyMs() const override { return std::max(0, BufferMs()); }
    // How often the stream was opened: 1 for a session whose device stayed.
    int Opens() const { return opens_.load(); }

private:
    friend class SoundStream;
    QThread thread_;
    SoundStream* stream_ = nullptr;
    std::atomic<bool> deviceWorked_{false};
    std::atomic<int> bufferMs_{-1};
    std::atomic<int> opens_{0};
};

}  // namespace zark
