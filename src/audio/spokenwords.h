#pragma once

#include <array>

#include "audio/wave.h"
#include "i18n/uilanguage.h"

namespace zark {

// The spoken words of a result, by resource id: the numbers 0 (1166), 1..9 (1157..1165) and 10
// (1156), the tenths digits 0..9 (2160..2169) and the clock directions 1..12 (2170..2181); and the
// timed series' "Attention" (2182).
inline constexpr int kWordTen = 1156;
inline constexpr int kWordZero = 1166;
inline constexpr int kWordFirstTenth = 2160;
inline constexpr int kWordFirstHour = 2170;  // 1 o'clock; 12 o'clock is 2181
inline constexpr int kWordAttention = 2182;  // the timed series' "Attention"

// An announcement: up to three word ids, ended by 0.
using WordList = std::array<int, 4>;

// The word of a whole number 0..10; 0 (no word) for any other.
int NumberWord(int k);
// The word of the clock direction of a bearing in degrees clockwise from 12 o'clock: the hour
// ClockHour gives, the one every view shows.
int DirectionWord(int bearing);
// The words of a score on a decimal face: the whole points, the tenth, then the direction unless
// the bearing is -1 (the exact centre). A score without its number word (11 or more) says nothing.
WordList DecimalAnnouncement(double score, int bearing);
// The words of a whole score: the points, then the direction unless the bearing is -1.
WordList IntegerAnnouncement(int score, int bearing);

// The recording of a word, in the language or, where that has none, in English; null when there
// is none. The recordings are resources of the program (":/zark/words/<lang>/<id>.wav").
SoundPtr WordSound(UiLanguage language, int id);

}  // namespace zark
