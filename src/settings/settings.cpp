#include "settings/settings.h"

#include <QDir>

namespace zark {

std::string CurrentDirectory() { return QDir::currentPath().toStdString(); }

void Settings::SetDefaults(const std::string& noSoundText) {
    *this = Settings{};
    SoundRifle = noSoundText;
    SoundPistol = noSoundText;
    const std::string current = CurrentDirectory();
    DataDirectory = QDir::toNativeSeparators(QString::fromStdString(current + "/data")).toStdString();
    BitmapDirectory = QDir::toNativeSeparators(QString::fromStdString(current + "/bitmap")).toStdString();
}

Settings Settings::Defaults(const std::string& noSoundText) {
    Settings settings;
    settings.SetDefaults(noSoundText);
    return settings;
}

}  // namespace zark
