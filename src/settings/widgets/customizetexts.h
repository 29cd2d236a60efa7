#pragma once

// String ids of the Customize dialog's texts.
namespace zark::customize_text {

inline constexpr int kCaption = 4;          // "Customize"
inline constexpr int kGeneral = 92;
inline constexpr int kSound = 93;
inline constexpr int kZark = 94;
inline constexpr int kMinimumTime = 95;     // "Minimum Time Between Shots"
inline constexpr int kReplaySpeed = 96;
inline constexpr int kLineTrace = 97;       // "&Line Trace"
inline constexpr int kAutoReplay = 98;      // "&Auto Replay"
inline constexpr int kRifle = 100;
inline constexpr int kPistol = 101;
inline constexpr int kAdapter = 102;        // "ZARK Adapter"
inline constexpr int kNoSound = 103;        // "(none)"
inline constexpr int kReplay = 104;
inline constexpr int kReplayAfter = 105;
inline constexpr int kReplayBefore = 106;
inline constexpr int kOk = 113;             // "&OK"
inline constexpr int kCancel = 114;         // "&Cancel"
inline constexpr int kNotConnected = 130;   // "ZARK system unit is not connected"
inline constexpr int kUnitOk = 131;         // "ZARK system unit OK"
inline constexpr int kLanguage = 138;
inline constexpr int kTellResult = 139;
inline constexpr int kDistance = 140;       // "Detector Distance"
inline constexpr int kBlindShooting = 175;
inline constexpr int kEnableBlind = 176;
inline constexpr int kCentre = 177;
inline constexpr int kPeripheral = 178;
inline constexpr int kTestAdapter = 201;    // "Test ZARK Adapter"
inline constexpr int kTestSound = 202;      // "Test Sound"
inline constexpr int kOptions = 203;
inline constexpr int kFullScorePicture = 204;

inline constexpr int kRestartNote = 340;    // a changed language takes effect at the next start
inline constexpr int kNoAnswer = 341;       // "No answer from %s within 2 seconds."
inline constexpr int kCannotOpen = 342;     // "%s cannot be opened: %s"
inline constexpr int kTesting = 343;        // "Testing %s ..."
inline constexpr int kTooLarge = 344;       // the picture does not fit the preview
inline constexpr int kCannotShow = 345;     // the picture cannot be shown (the logged reason follows)
inline constexpr int kPhaseColours = 346;   // "Colour the trace by phase"
inline constexpr int kCallShots = 571;      // "Call each shot"

// The Range page.
inline constexpr int kRange = 612;          // "Range", the tab
inline constexpr int kRangeEnabled = 613;   // "&Put this lane on the range"
inline constexpr int kRangeHost = 614;
inline constexpr int kRangePort = 615;
inline constexpr int kRangeTls = 616;
inline constexpr int kRangeCaFile = 617;
inline constexpr int kRangeUser = 618;
inline constexpr int kRangePassword = 619;
inline constexpr int kRangeName = 650;
inline constexpr int kRangeLane = 651;
inline constexpr int kRangeShooter = 652;
inline constexpr int kRangeStored = 653;    // the password box's hint while a password is stored
inline constexpr int kRangeNote = 654;      // what the user and the lane are for
inline constexpr int kRangeObey = 681;      // "Obey the range &officer"

// Pictures and icons.
inline constexpr int kTestSoundIcon = 1106;
inline constexpr int kTestAdapterIcon = 1107;
inline constexpr int kDistanceScaleMetric = 1173;
inline constexpr int kDistanceScaleImperial = 1174;
inline constexpr int kTimeScale = 1175;
inline constexpr int kSpeedScale = 1177;

}  // namespace zark::customize_text
