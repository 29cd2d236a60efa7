#include "audio/soundmixer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zark {
namespace {

// A frame of a clip as one value: stereo is mixed down.
int MonoFrame(const PcmSound& sound, std::int64_t frame) {
    const std::size_t at = std::size_t(frame) * std::size_t(sound.channels);
    if (sound.channels == 2) return (int(sound.samples[at]) + int(sound.samples[at + 1])) / 2;
    return sound.samples[at];
}

}  // namespace

SoundMixer::SoundMixer(int sampleRate)
    : rate_(std::max(sampleRate, 8000)), fadeStep_(1000.0 / (kFadeMs * double(rate_))) {
    clips_.reserve(16);
}

void SoundMixer::SetTone(double frequency, int amplitude, int holdMs) {
    const std::lock_guard lock(mutex_);
    frequency = frequency > 0 ? std::min(frequency, rate_ / 2.0) : 0;
    amplitude = std::clamp(amplitude, 0, 32767);
    if (frequency != wantedFrequency_ || amplitude != wantedAmplitude_) {
        wantedFrequency_ = frequency;
        wantedAmplitude_ = amplitude;
        dirty_ = true;
        changePending_ = frequency > 0;
        changeAsked_ = Clock::now();
    }
    holdFrames_ = holdMs > 0 ? std::int64_t(holdMs) * rate_ / 1000 : -1;
}

void SoundMixer::StopTone() {
    const std::lock_guard lock(mutex_);
    wantedFrequency_ = 0;
    dirty_ = false;
    on_ = false;
    holdFrames_ = -1;
    changePending_ = false;
}

std::uint64_t SoundMixer::PlayClip(SoundPtr sound, ClipKind kind) {
    const std::lock_guard lock(mutex_);
    const std::uint64_t ticket = nextTicket_++;
    if (silent_ || !sound || sound->Frames() <= 0 || sound->sampleRate <= 0) return ticket;
    clips_.push_back(Clip{std::move(sound), kind, ticket, 0.0, 0.0});
    clips_.back().step = double(clips_.back().sound->sampleRate) / rate_;
    voice_ = voice_ || kind == ClipKind::Voice;
    return ticket;
}

bool SoundMixer::ClipPlaying(std::uint64_t ticket) const {
    const std::lock_guard lock(mutex_);
    return std::any_of(clips_.begin(), clips_.end(), [ticket](const Clip& c) { return c.ticket == ticket; });
}

void SoundMixer::WaitForClip(std::uint64_t ticket) {
    std::unique_lock lock(mutex_);
    clipEnded_.wait(lock, [&] {
        return silent_ ||
               std::none_of(clips_.begin(), clips_.end(), [ticket](const Clip& c) { return c.ticket == ticket; });
    });
}

void SoundMixer::StopClips(ClipKind kind) {
    {
        const std::lock_guard lock(mutex_);
        std::erase_if(clips_, [kind](const Clip& c) { return c.kind == kind; });
        NoteClipsChanged();
    }
    clipEnded_.notify_all();
}

void SoundMixer::SetSilent(bool silent) {
    {
        const std::lock_guard lock(mutex_);
        silent_ = silent;
        if (silent) {
            clips_.clear();
            NoteClipsChanged();
        }
    }
    clipEnded_.notify_all();
}

double SoundMixer::SoundingFrequency() const {
    const std::lock_guard lock(mutex_);
    return on_ ? frequency_ : 0.0;
}

std::int64_t SoundMixer::LastChangeFrame() const {
    const std::lock_guard lock(mutex_);
    return changeFrame_;
}

std::int64_t SoundMixer::LastChangeMicroseconds() const {
    const std::lock_guard lock(mutex_);
    return changeMicroseconds_;
}

void SoundMixer::NoteClipsChanged() {
    const bool voice = std::any_of(clips_.begin(), clips_.end(), [](const Clip& c) { return c.kind == ClipKind::Voice; });
    // A change asked for while the words were said is heard from now on.
    if (voice_ && !voice && changePending_) changeAsked_ = Clock::now();
    voice_ = voice;
}

// Brings the sounding tone to the one asked for: on and off at once (the fade makes them soft),
// a new pitch from silence at once and phase 0, a new pitch of a sounding tone at a zero crossing.
void SoundMixer::ApplyWanted(bool atCrossing, Clock::time_point now, std::int64_t frame) {
    if (!dirty_ || voice_) return;
    if (wantedFrequency_ <= 0) {
        on_ = false;
        dirty_ = false;
        return;
    }
    on_ = true;
    if (gain_ > 0 && !atCrossing && (frequency_ != wantedFrequency_ || amplitude_ != wantedAmplitude_)) return;
    if (gain_ <= 0) phase_ = 0;
    frequency_ = wantedFrequency_;
    amplitude_ = wantedAmplitude_;
    dirty_ = false;
    changeFrame_ = frame;
    if (changePending_) {
        changeMicroseconds_ = std::chrono::duration_cast<std::chrono::microseconds>(now - changeAsked_).count();
        if (changeMicroseconds_ < 0) changeMicroseconds_ = 0;
        changePending_ = false;
    }
}

void SoundMixer::Render(std::int16_t* out, int frames) {
    if (frames <= 0) return;
    const Clock::time_point now = Clock::now();
    bool ended = false;
    {
        const std::lock_guard lock(mutex_);
        const std::int64_t first = rendered_.load();
        if (holdFrames_ >= 0) {
            holdFrames_ -= frames;
            if (holdFrames_ < 0) {  // nothing came to hold the tone: it fades
                wantedFrequency_ = 0;
                dirty_ = false;
                on_ = false;
                changePending_ = false;
            }
        }
        const double duckStep = (1 - kDuck) * fadeStep_;
        for (int i = 0; i < frames; ++i) {
            ApplyWanted(false, now, first + i);
            double mix = 0;
            if (on_ || gain_ > 0) {
                gain_ = on_ ? std::min(1.0, gain_ + fadeStep_) : std::max(0.0, gain_ - fadeStep_);
                const double duckTarget = clips_.empty() ? 1.0 : kDuck;
                duck_ = duck_ < duckTarget ? std::min(duckTarget, duck_ + duckStep) : std::max(duckTarget, duck_ - duckStep);
                mix = std::sin(2 * std::numbers::pi * phase_) * amplitude_ * gain_ * duck_;
                double next = phase_ + frequency_ / rate_;
                const bool crossed = (phase_ < 0.5 && next >= 0.5) || next >= 1.0;
                phase_ = next - std::floor(next);
                if (crossed) ApplyWanted(true, now, first + i + 1);
            } else {
                duck_ = clips_.empty() ? 1.0 : kDuck;  // a tone that starts under a clip starts lowered
            }
            for (std::size_t k = clips_.size(); k-- > 0;) {
                Clip& clip = clips_[k];
                const std::int64_t total = clip.sound->Frames();
                const auto at = std::int64_t(clip.position);
                if (at >= total) {
                    clips_.erase(clips_.begin() + std::ptrdiff_t(k));
                    ended = true;
                    NoteClipsChanged();
                    continue;
                }
                const int a = MonoFrame(*clip.sound, at);
                const int b = at + 1 < total ? MonoFrame(*clip.sound, at + 1) : a;
                mix += a + (b - a) * (clip.position - double(at));
                clip.position += clip.step;
            }
            out[i] = std::int16_t(std::clamp(std::lround(mix), -32768L, 32767L));
        }
    }
    rendered_ += frames;
    if (ended) clipEnded_.notify_all();
}

SoundPtr SineClip(double frequency, int amplitude, int ms, int rate) {
    auto sound = std::make_shared<PcmSound>();
    sound->sampleRate = rate;
    const int frames = int(std::int64_t(ms) * rate / 1000);
    const int fade = SoundMixer::kFadeMs * rate / 1000;
    sound->samples.resize(std::size_t(std::max(frames, 0)));
    for (int i = 0; i < frames; ++i) {
        const double edge = std::min({1.0, double(i) / fade, double(frames - 1 - i) / fade});
        sound->samples[std::size_t(i)] =
            std::int16_t(std::lround(std::sin(2 * std::numbers::pi * frequency * i / rate) * amplitude * edge));
    }
    return sound;
}

}  // namespace zark
