#include "app/playersoundhooks.h"

namespace zark {

PlayerSoundHooks::~PlayerSoundHooks() { StopSound(); }

void PlayerSoundHooks::PlayShotSound(const std::string& name) {
    StopSound();
    player_.PlayShotSound(name);
}

void PlayerSoundHooks::StartToneSweep(int centreHz, int peripheralHz) {
    StopSound();
    cancel_ = false;
    sweeping_ = true;
    sweep_ = std::thread([this, centreHz, peripheralHz] {
        player_.PlayToneSweep(centreHz, peripheralHz, &cancel_);
        sweeping_ = false;
    });
}

void PlayerSoundHooks::StopSound() {
    cancel_ = true;
    ProcessSoundOutput().StopAllClips();
    if (sweep_.joinable()) sweep_.join();
}

}  // namespace zark
