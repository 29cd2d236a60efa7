// The zark program. The main window is not built yet: until it is, the program loads the
// settings, sets up the recording core, reports what it would shoot with and writes the settings
// back, as the full program does at start and exit.
#include <QCoreApplication>
#include <cstdio>

#include "core/shootinghub.h"
#include "settings/settingsstorage.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    zark::RegistryAccess registry;
    zark::Settings settings;
    zark::LoadSettings(settings, registry, "(none)");
    zark::ShootingHub hub;
    hub.SetSettings(&settings);
    std::printf("ZARK %s: detector port %s, %d ms between shots; the main window is not built yet.\n",
                ZARK_VERSION, settings.Communication.c_str(), settings.TimeBetweenShots);
    zark::SaveSettings(settings, registry);
    return 0;
}
