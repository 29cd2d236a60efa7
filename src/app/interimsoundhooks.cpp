#include "app/interimsoundhooks.h"

#include <QDir>

#include "diag/diagnostics.h"
#include "i18n/uistrings.h"

namespace zark {

std::vector<std::string> InterimSoundHooks::SoundNames() {
    std::vector<std::string> names;
    const QDir folder(QDir::current().filePath(QStringLiteral("Sound")));
    for (const QString& file : folder.entryList({QStringLiteral("*.wav")}, QDir::Files)) {
        const qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
        names.push_back(file.left(dot).toStdString());
    }
    return names;
}

void InterimSoundHooks::PlayShotSound(const std::string& name) {
    if (name == UiText(103)) return;  // "(none)"
    LogLine("no sound player yet: shot sound '%s' not played\n", name.c_str());
}

void InterimSoundHooks::StartToneSweep(int centreHz, int peripheralHz) {
    LogLine("no sound player yet: tone sweep %d Hz to %d Hz not played\n", centreHz, peripheralHz);
}

// The sound player builds its twelve tones here; until it is in there is nothing to build.
void InterimSoundHooks::BuildToneBank(int, int, int) {}

}  // namespace zark
