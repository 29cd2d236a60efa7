#include "settings/settings.h"

#include <QDir>
#include <QSysInfo>

namespace zark {

std::string CurrentDirectory() { return QDir::currentPath().toStdString(); }

std::int32_t TimeStepOf(const Settings* settings) {
    return settings && settings->UnitTimeStep > 0 ? settings->UnitTimeStep : Settings::kUnitTimeStep;
}

std::int32_t ReplayTimeBeforeOf(const Settings* settings) {
    return settings ? settings->ReplayTimeBefore : Settings{}.ReplayTimeBefore;
}

std::int32_t ReplayTimeAfterOf(const Settings* settings) {
    return settings ? settings->ReplayTimeAfter : Settings{}.ReplayTimeAfter;
}

void Settings::SetDefaults(const std::string& noSoundText) {
    *this = Settings{};
    SoundRifle = noSoundText;
    SoundPistol = noSoundText;
    const std::string current = CurrentDirectory();
    DataDirectory = QDir::toNativeSeparators(QString::fromStdString(current + "/data")).toStdString();
    BitmapDirectory = QDir::toNativeSeparators(QString::fromStdString(current + "/bitmap")).toStdString();
    RangeLane = HostLaneName();
}

std::string RangeNameOf(const std::string& text) {
    std::string name;
    for (const char c : text) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
        if (ok && name.size() < 32) name += c;
    }
    return name.empty() ? std::string("lane") : name;
}

std::string HostLaneName() { return RangeNameOf(QSysInfo::machineHostName().toStdString()); }

Settings Settings::Defaults(const std::string& noSoundText) {
    Settings settings;
    settings.SetDefaults(noSoundText);
    return settings;
}

}  // namespace zark
