#include "settings/settingsstorage.h"

#include <cmath>
#include <limits>

namespace zark {
namespace {

constexpr const char* kDataDirectory = "DataDirectory";

}  // namespace

std::string LoadDataDirectory(RegistryAccess& r) {
    std::string folder = Settings::Defaults(std::string()).DataDirectory;
    if (r.contains(kDataDirectory)) r.readString(kDataDirectory, folder);
    return folder;
}

void LoadSettings(Settings& s, RegistryAccess& r, const std::string& noSoundText) {
    s.SetDefaults(noSoundText);

    r.readInt("TimeBetweenShots", s.TimeBetweenShots);
    if (s.TimeBetweenShots < 100) {
        // an older form kept the time in seconds ("1.60")
        double seconds = 0;
        if (r.readReal("TimeBetweenShots", seconds)) {
            const double ms = (seconds + 0.0005) * 1000;
            if (std::isfinite(ms) && ms > std::numeric_limits<std::int32_t>::min() &&
                ms < std::numeric_limits<std::int32_t>::max()) {
                s.TimeBetweenShots = std::int32_t(ms);
            }
        }
    }
    r.readInt("ReplaySpeed", s.ReplaySpeed);
    r.readInt("BlindShooting", s.BlindShooting);
    r.readInt("Amplitude", s.Amplitude);
    r.readInt("CenterFrequency", s.CenterFrequency);
    r.readInt("PeripheralFrequency", s.PeripheralFrequency);
    r.readString("SoundRifle", s.SoundRifle);
    r.readString("SoundPistol", s.SoundPistol);
    r.readString("Communication", s.Communication);
    r.readInt("Zoom", s.Zoom);
    r.readInt("AutoReplay", s.AutoReplay);
    r.readInt("TellResult", s.TellResult);
    r.readInt("LineTrack", s.LineTrack);
    r.readInt("ColourTraceByPhase", s.ColourTraceByPhase);
    r.readInt("CallShots", s.CallShots);
    r.readString(kDataDirectory, s.DataDirectory);
    r.readShort("LangID", s.LangID);
    r.readInt("ShootingDistance", s.ShootingDistance);
    r.readInt("ReplayTimeAfter", s.ReplayTimeAfter);
    r.readInt("ReplayTimeBefore", s.ReplayTimeBefore);
    r.readString("FX10Bitmap", s.FX10Bitmap);
    r.readColour("ColorLineBeforeShot", s.ColorLineBeforeShot);
    r.readColour("ColorLineAfterShot", s.ColorLineAfterShot);
    // The range's values came later than the others: one not stored yet is no fault to log.
    const auto readInt = [&r](const char* name, std::int32_t& value) {
        if (r.contains(name)) r.readInt(name, value);
    };
    const auto readString = [&r](const char* name, std::string& value) {
        if (r.contains(name)) r.readString(name, value);
    };
    readInt("RangeEnabled", s.RangeEnabled);
    readString("RangeHost", s.RangeHost);
    readInt("RangePort", s.RangePort);
    readInt("RangeTls", s.RangeTls);
    readString("RangeCaFile", s.RangeCaFile);
    readString("RangeUser", s.RangeUser);
    readString("RangePassword", s.RangePassword);
    readString("RangeName", s.RangeName);
    readString("RangeLane", s.RangeLane);
    readString("RangeShooter", s.RangeShooter);
    readInt("RangeAcceptCommands", s.RangeAcceptCommands);
}

void SaveSettings(const Settings& s, RegistryAccess& r) {
    r.writeInt("TimeBetweenShots", s.TimeBetweenShots);
    r.writeInt("ReplaySpeed", s.ReplaySpeed);
    r.writeInt("ShootingDistance", s.ShootingDistance);
    r.writeInt("BlindShooting", s.BlindShooting);
    r.writeInt("Amplitude", s.Amplitude);
    r.writeInt("CenterFrequency", s.CenterFrequency);
    r.writeInt("PeripheralFrequency", s.PeripheralFrequency);
    r.writeString("SoundRifle", s.SoundRifle);
    r.writeString("SoundPistol", s.SoundPistol);
    r.writeInt("Zoom", s.Zoom);
    r.writeInt("AutoReplay", s.AutoReplay);
    r.writeInt("TellResult", s.TellResult);
    r.writeInt("LineTrack", s.LineTrack);
    r.writeInt("ColourTraceByPhase", s.ColourTraceByPhase);
    r.writeInt("CallShots", s.CallShots);
    r.writeString("Communication", s.Communication);
    r.writeString(kDataDirectory, s.DataDirectory);
    r.writeShort("LangID", s.LangID);
    r.writeInt("ReplayTimeAfter", s.ReplayTimeAfter);
    r.writeInt("ReplayTimeBefore", s.ReplayTimeBefore);
    r.writeString("FX10Bitmap", s.FX10Bitmap);
    r.writeColour("ColorLineBeforeShot", s.ColorLineBeforeShot);
    r.writeColour("ColorLineAfterShot", s.ColorLineAfterShot);
    r.writeInt("RangeEnabled", s.RangeEnabled);
    r.writeString("RangeHost", s.RangeHost);
    r.writeInt("RangePort", s.RangePort);
    r.writeInt("RangeTls", s.RangeTls);
    r.writeString("RangeCaFile", s.RangeCaFile);
    r.writeString("RangeUser", s.RangeUser);
    r.writeString("RangePassword", s.RangePassword);
    r.writeString("RangeName", s.RangeName);
    r.writeString("RangeLane", s.RangeLane);
    r.writeString("RangeShooter", s.RangeShooter);
    r.writeInt("RangeAcceptCommands", s.RangeAcceptCommands);
    r.flush();
}

}  // namespace zark
