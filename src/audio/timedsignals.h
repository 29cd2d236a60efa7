#pragma once

#include "audio/wave.h"
#include "core/timedseries.h"
#include "i18n/uilanguage.h"

namespace zark {

// The sounds of a timed series, laid over the blind-shooting tone. They are short patterns of
// pips, never a steady tone, so they cannot be taken for the blind-shooting tone whatever its
// pitch: the opening is a rising pair (its first pip sounds from the clip's first millisecond, so
// the signal is heard the moment the window opens), the end a falling three, "Attention" one low
// pip. Load and the end of the series are silent (null).
SoundPtr TimedSignalClip(TimedSignal signal);

// The spoken "Attention" in the language, to be played with the Attention pip: the word begins
// 100 ms after the pip has ended. Null when there is no recording.
SoundPtr SpokenAttention(UiLanguage language);

}  // namespace zark
