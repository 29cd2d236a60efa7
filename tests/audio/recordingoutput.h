#pragma once

#include <condition_variable>
#include <mutex>
#include <vector>

#include "audio/soundoutput.h"

namespace zark::test {

// Records what would have been played. PlayAndWait returns at once, or, while held, only once
// released, so a test can keep an announcement in the middle of a word.
class RecordingOutput final : public SoundOutput {
public:
    enum class Kind { Play, PlayAndWait, Stop };
    struct Event {
        Kind kind;
        SoundPtr sound;
        bool loop = false;
    };

    void Play(SoundPtr sound, bool loop) override { Add({Kind::Play, std::move(sound), loop}); }
    void Stop() override { Add({Kind::Stop, nullptr, false}); }
    void PlayAndWait(SoundPtr sound) override {
        std::unique_lock lock(mutex_);
        events_.push_back({Kind::PlayAndWait, std::move(sound), false});
        ++waiting_;
        changed_.notify_all();
        changed_.wait(lock, [this] { return !held_; });
        --waiting_;
    }

    std::vector<Event> Events() const {
        const std::lock_guard lock(mutex_);
        return events_;
    }
    // The sounds of the events of one kind, in order.
    std::vector<SoundPtr> Sounds(Kind kind) const {
        std::vector<SoundPtr> sounds;
        for (const Event& event : Events())
            if (event.kind == kind) sounds.push_back(event.sound);
        return sounds;
    }
    void Clear() {
        const std::lock_guard lock(mutex_);
        events_.clear();
    }

    void Hold() {
        const std::lock_guard lock(mutex_);
        held_ = true;
    }
    void Release() {
        const std::lock_guard lock(mutex_);
        held_ = false;
        changed_.notify_all();
    }
    // Waits until a PlayAndWait is held (true), or gives up after a few seconds (false).
    bool WaitUntilHeld(std::size_t calls) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(5), [&] {
            std::size_t count = 0;
            for (const Event& event : events_) count += event.kind == Kind::PlayAndWait;
            return waiting_ > 0 && count >= calls;
        });
    }

private:
    void Add(Event event) {
        const std::lock_guard lock(mutex_);
        events_.push_back(std::move(event));
        changed_.notify_all();
    }

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Event> events_;
    bool held_ = false;
    int waiting_ = 0;
};

// The frequency of a mono sound from its rising zero crossings (around the middle value).
double ZeroCrossingFrequency(const PcmSound& sound);

}  // namespace zark::test
