#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace zark {

// A Windows-style colour value, 0x00BBGGRR.
using ColourRef = std::uint32_t;

constexpr ColourRef MakeColourRef(int red, int green, int blue) {
    return ColourRef(red & 0xFF) | (ColourRef(green & 0xFF) << 8) | (ColourRef(blue & 0xFF) << 16);
}

// The one record of user preferences. Every persisted field is stored under a value name equal
// to its own name (see settingsstorage.h).
struct Settings {
    static constexpr std::int32_t kUnitTimeStep = 40;

    std::int32_t TimeBetweenShots = 1600;  // ms
    std::int32_t ReplaySpeed = 100;        // percent
    std::string Communication = "COM2";
    std::int32_t UnitTimeStep = kUnitTimeStep;  // ms per detector sample; fixed, not persisted
    std::int32_t BlindShooting = 0;
    std::int32_t Amplitude = 24;
    std::int32_t CenterFrequency = 8869;
    std::int32_t PeripheralFrequency = 220;
    std::string SoundRifle = "(none)";
    std::string SoundPistol = "(none)";
    std::int32_t Zoom = 1;
    std::int32_t AutoReplay = 0;
    std::int32_t LineTrack = 0;
    std::int32_t ColourTraceByPhase = 0;  // the trace in the colours of the phases of each shot
    std::int32_t CallShots = 0;           // the target view asks for the call of each shot
    std::string DataDirectory;    // current directory + "/data"
    std::string BitmapDirectory;  // current directory + "/bitmap"; not persisted
    std::uint16_t LangID = 0x0400;
    std::int32_t TellResult = 0;
    std::int32_t ShootingDistance = 33;
    std::int32_t ReplayTimeAfter = 1000;   // ms
    std::int32_t ReplayTimeBefore = 5000;  // ms
    std::string FX10Bitmap;
    ColourRef ColorLineBeforeShot = 0x00FFFF00;  // cyan
    ColourRef ColorLineAfterShot = 0x0000FF00;   // green
    std::int32_t CustomizePage = 0;              // not persisted
    // The range: this lane on the club's broker, and the broker a coach watches lanes on.
    std::int32_t RangeEnabled = 0;
    std::string RangeHost = "localhost";
    std::int32_t RangePort = 1883;
    std::int32_t RangeTls = 0;
    std::string RangeCaFile;
    std::string RangeUser;
    std::string RangePassword;
    std::string RangeName = "club";
    std::string RangeLane;  // the host name as a lane name
    std::string RangeShooter;
    std::int32_t RangeAcceptCommands = 0;  // the lane obeys the range officer's orders

    // A record holding the built-in defaults. noSoundText is the "(none)" text of the chosen
    // language (string 103), the default of both shot sounds.
    static Settings Defaults(const std::string& noSoundText = "(none)");

    // Every field takes its default; the two folders are formed from the current directory.
    void SetDefaults(const std::string& noSoundText);

    bool operator==(const Settings&) const = default;
};

// The frequencies offered for CenterFrequency and PeripheralFrequency (Hz), each about a major
// third above the one before; the defaults are index 16 (centre) and 0 (periphery).
inline constexpr std::array<std::int32_t, 18> kToneFrequencies = {
    220, 277, 349, 440, 554, 698, 880, 1108, 1396, 1760, 2217, 2793, 3519, 4434, 5587, 7039, 8869, 11175};

// The values the views read from settings they may not have been given yet: the given record's,
// else the built-in defaults. A time step of 0 or less is never used (it divides).
std::int32_t TimeStepOf(const Settings* settings);
std::int32_t ReplayTimeBeforeOf(const Settings* settings);
std::int32_t ReplayTimeAfterOf(const Settings* settings);

// A name as a range or lane name: only A-Z, a-z, 0-9, "_" and "-" kept, at most 32 of them; "lane"
// when nothing is left. The default lane is this machine's host name so made.
std::string RangeNameOf(const std::string& text);
std::string HostLaneName();

// The current directory, as the folders of the defaults are formed from it.
std::string CurrentDirectory();

}  // namespace zark
