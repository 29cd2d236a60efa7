// zark_customize_shots: grabs every tab of the Customize dialog into PNG files, to look at the
// layout in each language and with large fonts without clicking through the program.
//   zark_customize_shots OUTDIR [--lang LANGID] [--large] [--comma] [--imperial]
// Settings are kept in a temporary folder; the user's are never read or written.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdio>

#include "i18n/uistrings.h"
#include "settings/registryaccess.h"
#include "settings/widgets/customizedialog.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: zark_customize_shots OUTDIR [--lang LANGID] [--large] [--comma] [--imperial]\n");
        return 2;
    }
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    const QString out = args[1];
    QDir().mkpath(out);
    int langId = 0x0409;
    if (const qsizetype at = args.indexOf(QStringLiteral("--lang")); at > 0 && at + 1 < args.size())
        langId = args[at + 1].toInt();
    {
        zark::RegistryAccess registry;
        registry.writeInt("LangID", langId);
    }
    zark::LoadUiStrings();

    zark::UiMetrics metrics = zark::UiMetrics::FromSystem();
    metrics.decimalSeparator = QStringLiteral(".");
    metrics.imperial = false;
    std::printf("screen font height %d\n", metrics.screenFontHeight);
    if (args.contains(QStringLiteral("--large"))) metrics.screenFontHeight = 20;
    if (args.contains(QStringLiteral("--comma"))) metrics.decimalSeparator = QStringLiteral(",");
    if (args.contains(QStringLiteral("--imperial"))) metrics.imperial = true;

    zark::Settings settings = zark::Settings::Defaults(zark::UiText(103));
    settings.BitmapDirectory = QDir::current().filePath(QStringLiteral("bitmap")).toStdString();
    QElapsedTimer clock;
    clock.start();
    zark::CustomizeDialog dialog(nullptr, settings, {}, metrics);
    dialog.show();
    app.processEvents();
    std::printf("dialog built and shown in %lld ms\n", static_cast<long long>(clock.elapsed()));
    for (int tab = 0; tab < zark::CustomizeDialog::kTabCount; ++tab) {
        dialog.Tabs()->setCurrentIndex(tab);
        app.processEvents();
        const QString file = QDir(out).filePath(QStringLiteral("customize-%1.png").arg(tab));
        dialog.grab().save(file);
        std::printf("%s\n", qPrintable(file));
    }
    return 0;
}
