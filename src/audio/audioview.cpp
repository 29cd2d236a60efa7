#include "audio/audioview.h"

#include "audio/tonebank.h"
#include "settings/settings.h"
#include "targets/targetdescriptor.h"

namespace zark {

AudioView::AudioView(HubView* parent, SoundOutput* output) : HubView(parent), player_(output) {
    if (parent) {
        HubView::OnSettingsChanged(parent->settings());
        HubView::OnTargetsChanged(parent->targetA(), parent->targetB());
        HubView::OnTargetSelected(parent->side());
    }
}

void AudioView::OnSample(int x, int y, int isShot, int, int) {
    const Settings* settings = this->settings();
    if (!settings) return;
    if (settings->BlindShooting) {
        const TargetDescriptor* target = CurrentTarget();
        const bool noAim = (x == 0 && y == 0) || !target;
        player_.SelectTone(noAim ? -1.0 : target->ScoreShot(x, y));
    }
    // (0, 0) is an unfired shot of a moving-target run: no sound. The shot's own position
    // decides, so a replayed shot sounds as it did when it was shot.
    if (isShot && !(x == 0 && y == 0)) ShotSounds(x, y);
}

void AudioView::ShotSounds(int x, int y) {
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
    if (!settings.TellResult) return;
    const double score = target->ScoreShot(x, y);
    const int bearing = TargetDescriptor::ShotBearing(x, y);
    if (target->Kind() & KindDecimal)
        player_.AnnounceDecimal(score, bearing);
    else
        player_.AnnounceInteger(int(score), bearing);
}

void AudioView::OnSettingsChanged(const Settings* settings) {
    HubView::OnSettingsChanged(settings);
    // Applied settings reach the hub: the tones follow their frequencies and amplitude.
    if (settings) BuildToneBank(*settings);
    // Blind shooting turned off: the tone ends now, not at the end of the acquisition.
    if (settings && !settings->BlindShooting && player_.CurrentTone() >= 0) player_.SelectTone(-1);
}

void AudioView::OnAcquisitionStopped() {
    player_.SelectTone(-1);
}

}  // namespace zark
