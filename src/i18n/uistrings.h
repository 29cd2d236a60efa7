#pragma once

#include <string>

#include "i18n/stringtable.h"
#include "i18n/uilanguage.h"

class QLocale;
class QString;

// Every text of the user interface, by string id, in the language chosen by the "LangID" setting.
// The tables are compiled into the program from resources/strings/ (see README, "Strings and
// languages").

namespace zark {

// Texts the program shows that have no id of the original tables; they live in the same tables so
// that they are translated too.
inline constexpr int kUiTextError = 301;       // "Error", the caption of error message boxes
inline constexpr int kUiTextOpenFailed = 302;  // "Failed to open file %s"
inline constexpr int kUiTextDemo = 303;        // "Demo", the test programme's title in every language
inline constexpr int kUiTextWelcome = 304;     // caption line of the welcome panel
// The notice shown while the simulated detector unit is in use, and why it is.
inline constexpr int kUiTextSimulatedUnit = 305;         // "Simulated unit: these shots do not come from ..."
inline constexpr int kUiTextPortNotFound = 306;          // "Port %s was not found on this machine."
inline constexpr int kUiTextPortIsSimulator = 307;       // "The port is set to the simulated unit."
inline constexpr int kUiTextChoosePort = 308;            // "Choose the port of your unit in File > Customize..."
inline constexpr int kUiTextNoPort = 309;                // "No port is set."

// Loads every text once per process: reads "LangID" from the settings (0x0400 when it cannot be
// read), resolves it with the user's locale (ResolveUiLanguage) and keeps the texts of that
// language, English where the language's table lacks an id. Later calls return at once. Call it on
// the user-interface thread before other threads read texts; every object that shows text calls it
// in its constructor.
void LoadUiStrings();
bool UiStringsLoaded();

// The loaded text of an id (UTF-8); empty before loading, for id 2 and for ids without text.
// Cheap: an index into the loaded texts.
const std::string& UiText(int id);
// The same as a QString.
QString UiQString(int id);

// The language of the loaded texts (English before loading) and a locale of it, for sorting texts.
UiLanguage ActiveUiLanguage();
QLocale UiLocale();

// The text of id in the given language's built-in table, falling back to the English table; empty
// when neither has it. Does not depend on the loaded language, so it serves every language at once.
std::string LookupString(UiLanguage language, int id);

// Whether a shot sound's name means no sound: the empty name, or the "(none)" text (string 103) of
// any of the four languages, so a name stored under another language still means none.
bool IsNoSoundName(const std::string& name);

// The built-in table of a language, read from the program's resources once.
const StringTable& BuiltInStringTable(UiLanguage language);

}  // namespace zark
