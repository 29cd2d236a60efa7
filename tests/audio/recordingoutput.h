#pragma once

#include <condition_variable>
#include <mutex>
#include <vector>

#include "audio/soundoutput.h"
#include "i18n/uilanguage.h"

namespace zark::test {

// Records what would have been sounded. A clip is waited for at once, or, while held, only once
// released, so a test can keep an announcement in the middle of its words.
class RecordingOutput final : public SoundOutput {
public:
    enum class Kind { Tone, StopTone, Clip, StopClips };
    struct Event {
        Kind kind;
        SoundPtr sound;                      // of a clip
        ClipKind clip = ClipKind::Effect;    // of a clip, or the kind stopped
        double frequency = 0;                // of a tone
        int amplitude = 0;
        int holdMs = 0;
    };

    void SetTone(double frequency, int amplitude, int holdMs) override {
        Add({Kind::Tone, nullptr, ClipKind::Effect, frequency, amplitude, holdMs});
    }
    void StopTone() override { Add({Kind::StopTone, nullptr}); }
    std::uint64_t PlayClip(SoundPtr sound, ClipKind kind) override {
        Add({Kind::Clip, std::move(sound), kind});
        return ++tickets_;
    }
    void WaitForClip(std::uint64_t) override {
        std::unique_lock lock(mutex_);
        ++waiting_;
        changed_.notify_all();
        changed_.wait(lock, [this] { return !held_; });
        --waiting_;
    }
    void StopClips(ClipKind kind) override { Add({Kind::StopClips, nullptr, kind}); }

    std::vector<Event> Events() const {
        const std::lock_guard lock(mutex_);
        return events_;
    }
    // The events of one kind, in order.
    std::vector<Event> Only(Kind kind) const {
        std::vector<Event> only;
        for (const Event& event : Events())
            if (event.kind == kind) only.push_back(event);
        return only;
    }
    // The clips of one kind, in order.
    std::vector<SoundPtr> Clips(ClipKind kind) const {
        std::vector<SoundPtr> sounds;
        for (const Event& event : Only(Kind::Clip))
            if (event.clip == kind) sounds.push_back(event.sound);
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
    // Waits until a clip is waited for while held and calls clips have started (true), or gives
    // up after a few seconds (false).
    bool WaitUntilHeld(std::size_t calls) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(5), [&] {
            std::size_t count = 0;
            for (const Event& event : events_) count += event.kind == Kind::Clip;
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
    std::uint64_t tickets_ = 0;
    bool held_ = false;
    int waiting_ = 0;
};

// The frequency of a mono sound from its rising zero crossings (around the middle value).
double ZeroCrossingFrequency(const PcmSound& sound);

// The words of an announcement as the player joins them into one voice clip.
SoundPtr JoinedWords(UiLanguage language, std::initializer_list<int> ids);

}  // namespace zark::test
