#include "audio/audioview.h"

#include <algorithm>

#include "audio/tonebank.h"
#include "core/tracestore.h"
#include "settings/settings.h"
#include "targets/targetdescriptor.h"

namespace zark {

namespace {
constexpr int kShortestReplayHoldMs = 250;  // a replayed tone outlasts a few late samples
constexpr int kLongestReplayHoldMs = 2000;
}  // namespace

AudioView::AudioView(HubView* parent, SoundOutput* output) : HubView(parent), player_(output) {
    if (parent) {
        HubView::OnSettingsChanged(parent->settings());
        HubView::OnTargetsChanged(parent->targetA(), parent->targetB());
        HubView::OnTargetSelected(parent->side());
        if (settings()) BuildToneBank(*settings());
    }
}

void AudioView::OnSample(int x, int y, int isShot, int isReplay, int sampleIndex) {
    const Settings* settings = this->settings();
    if (!settings) return;
    if (isReplay) NoteReplayed(sampleIndex);
    if (settings->BlindShooting) {
        const TargetDescriptor* target = CurrentTarget();
        const bool noAim = (x == 0 && y == 0) || !target;
        player_.SelectTone(noAim ? -1.0 : target->ScoreShot(x, y), isReplay ? ReplayHoldMs() : 0);
    }
    // (0, 0) is an unfired shot of a moving-target run: no sound. The shot's own position
    // decides, so a replayed shot sounds as it did when it was shot.
    if (isShot && !(x == 0 && y == 0)) ShotSounds(x, y, !isReplay || ReplaySpeakable(), !isReplay);
}

void AudioView::ShotSounds(int x, int y, bool speak, bool live) {
    const Settings& settings = *this->settings();
    const TargetDescriptor* target = CurrentTarget();
    if (!target) return;
    switch (target->Weapon()) {
        case WeaponClass::Rifle:
        case WeaponClass::AirRifle:
            player_.PlayShotSound(settings.SoundRifle);
            break;
        case WeaponClass::Pistol:
        case WeaponClass::AirPistol:
            player_.PlayShotSound(settings.SoundPistol);
            break;
        case WeaponClass::None:
            break;
    }
    if (!settings.TellResult || !speak) return;
    const Result result{true, target->ScoreShot(x, y), TargetDescriptor::ShotBearing(x, y),
                        (target->Kind() & KindDecimal) != 0};
    // A shooter who calls the shot hears the result once the call is given.
    if (live && settings.CallShots)
        awaitingCall_ = result;
    else
        Say(result);
}

void AudioView::Say(const Result& result) {
    if (result.decimal)
        player_.AnnounceDecimal(result.score, result.bearing);
    else
        player_.AnnounceInteger(int(result.score), result.bearing);
}

void AudioView::OnShotCalled(int, int how) {
    const Result result = awaitingCall_;
    awaitingCall_ = Result{};
    // a shot fired before the call was given leaves the result unsaid
    if (result.pending && how != kCallOvertaken) Say(result);
}

void AudioView::NoteReplayed(int sampleIndex) {
    replayed_[std::size_t(replayedNext_)] = Replayed{now_(), sampleIndex};
    replayedNext_ = (replayedNext_ + 1) % int(replayed_.size());
    replayedCount_ = std::min(replayedCount_ + 1, int(replayed_.size()));
}

// Whether the replay runs forward at a pace a result can be said at, judged on the samples
// noted so far (the first of a replay is given the benefit of the doubt).
bool AudioView::ReplaySpeakable() const {
    if (replayedCount_ < 2) return true;
    const int size = int(replayed_.size());
    const Replayed& newest = replayed_[std::size_t((replayedNext_ + size - 1) % size)];
    const Replayed& oldest = replayed_[std::size_t((replayedNext_ + size - replayedCount_) % size)];
    const int steps = newest.index - oldest.index;
    if (steps <= 0) return false;  // backward
    const double shotMs = double(steps) * TimeStepOf(settings());
    const double wallMs = std::chrono::duration<double, std::milli>(newest.time - oldest.time).count();
    return shotMs <= kFastestSpokenReplay * wallMs;
}

// How long a replayed tone lasts without another sample: a few of the replay's own intervals.
int AudioView::ReplayHoldMs() const {
    if (replayedCount_ < 2) return kShortestReplayHoldMs;
    const int size = int(replayed_.size());
    const Replayed& newest = replayed_[std::size_t((replayedNext_ + size - 1) % size)];
    const Replayed& before = replayed_[std::size_t((replayedNext_ + size - 2) % size)];
    const auto interval = std::chrono::duration_cast<std::chrono::milliseconds>(newest.time - before.time).count();
    return int(std::clamp<std::int64_t>(3 * interval, kShortestReplayHoldMs, kLongestReplayHoldMs));
}

void AudioView::OnSettingsChanged(const Settings* settings) {
    HubView::OnSettingsChanged(settings);
    // Applied settings reach the hub: the tones follow their frequencies and amplitude.
    if (settings) BuildToneBank(*settings);
    // Blind shooting turned off: the tone ends now, not at the end of the acquisition.
    if (settings && !settings->BlindShooting && player_.CurrentTone() >= 0) player_.StopTone();
}

// Results of another face or series are no longer wanted.
void AudioView::OnTargetsChanged(const TargetDescriptor* a, const TargetDescriptor* b) {
    HubView::OnTargetsChanged(a, b);
    awaitingCall_ = Result{};
    player_.CancelAnnouncements();
}

void AudioView::OnNewSeries(int shots, int sighters, int isDouble) {
    HubView::OnNewSeries(shots, sighters, isDouble);
    awaitingCall_ = Result{};
    player_.CancelAnnouncements();
}

void AudioView::OnReplayStarted() {
    replayedCount_ = 0;
    replayedNext_ = 0;
}

void AudioView::OnReplayStopped() {
    player_.StopTone();
}

void AudioView::OnAcquisitionStopped() {
    player_.StopTone();
}

}  // namespace zark
