// zark_simulator_series: series files shot by the simulated shooters over simulated days, as a
// shooter's data directory fills in a few weeks of dry fire: for trying the Progress window and
// the training log's export, and for its picture in the README. On most days one to three series
// of ten on the 50 m rifle face, now and then on the air rifle face; the shooter starts as a
// beginner and trains up to club and, late on, elite form. The samples go through the real
// decoder, as in the program.
//
//   zark_simulator_series [--seed N] [--count N] [--days N] [--shots N] OUTDIR
//
// Writes OUTDIR/<face>-YYYYmmdd-HHMMSS.zas, the last series dated yesterday evening.
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>

#include "simulatedplay.h"
#include "storage/filecommands.h"
#include "storage/seriesfileio.h"

namespace {

zark::FileDate fileDate;
zark::FileDate FileDateNow() { return fileDate; }

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::uint32_t seed = 7;
    int count = 50;
    int days = 60;
    int shots = 10;
    QString out;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--seed" && i + 1 < argc) seed = std::uint32_t(std::strtoul(argv[++i], nullptr, 10));
        else if (arg == "--count" && i + 1 < argc) count = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--days" && i + 1 < argc) days = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--shots" && i + 1 < argc) shots = std::clamp(std::atoi(argv[++i]), 1, zark::kMaxShots);
        else out = QString::fromLocal8Bit(argv[i]);
    }
    if (out.isEmpty() || !QDir().mkpath(out)) {
        std::fprintf(stderr, "usage: zark_simulator_series [--seed N] [--count N] [--days N] [--shots N] OUTDIR\n");
        return 2;
    }
    zark::TargetCatalogue catalogue;
    catalogue.Build();
    zark::TargetPair rifle, airRifle;
    catalogue.FindByIdentity(1200, rifle);
    catalogue.FindByIdentity(1400, airRifle);
    std::mt19937 random(seed);
    zark::SeriesFileIo io;
    io.SetClock(&FileDateNow);
    const QDate today = QDate::currentDate();
    for (int k = 0; k < count; ++k) {
        // spread over the days, a few an evening, the form growing with the weeks
        const double part = count > 1 ? double(k) / (count - 1) : 1.0;
        const QDateTime when(today.addDays(-1 - int((1.0 - part) * (days - 1))),
                             QTime(18, 0).addSecs(int(k % 3) * 900 + int(random() % 300)));
        const std::uint32_t draw = random() % 100;
        const zark::ShooterProfile profile = draw < 100 * (1.0 - part) * 0.8   ? zark::ShooterProfile::Beginner
                                             : draw < 100 * (1.1 - part * 0.6) ? zark::ShooterProfile::Club
                                                                                 : zark::ShooterProfile::Elite;
        const zark::TargetPair& pair = random() % 5 == 0 ? airRifle : rifle;
        const zark::tools::Collector run = zark::tools::Play(profile, std::uint32_t(random()), pair, false, shots);
        auto store = std::make_unique<zark::TraceStore>();
        int fired = 0;
        for (const auto& event : run.stream) {
            if (event.shot) ++fired;
            if (fired == 0) continue;  // the series starts after the first shot's release
            if (event.shot && fired > 1) store->AppendShot(event.point.x, event.point.y, 0);
            else if (!event.shot) store->AppendSample(event.point.x, event.point.y);
        }
        auto record = std::make_unique<zark::SeriesRecord>();
        record->targetId = pair.first->Identity();
        record->numberOfShots = store->ShotCount();
        record->store = store->Image();
        fileDate = zark::FileDate{std::int16_t(when.date().year()), std::int16_t(when.date().month()),
                                  std::int16_t(when.date().day()), std::int16_t(when.time().hour()),
                                  std::int16_t(when.time().minute()), std::int16_t(when.time().second())};
        const QString name = QStringLiteral("%1/%2-%3.zas")
                                 .arg(out, pair.first->Identity() == 1200 ? QStringLiteral("Rifle 50m") : QStringLiteral("Air Rifle"),
                                      zark::FileStamp(fileDate));
        QString error;
        if (!io.WriteSeries(*record, name, &error)) {
            std::fprintf(stderr, "zark_simulator_series: cannot write %s: %s\n", qPrintable(name), qPrintable(error));
            return 1;
        }
    }
    return 0;
}
