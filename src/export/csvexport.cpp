#include "export/csvexport.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <memory>

#include "core/matchprogramme.h"
#include "results/coachfigures.h"
#include "results/holdanalysis.h"
#include "results/phaseanalysis.h"
#include "results/shotscore.h"
#include "storage/checkedfile.h"
#include "storage/matchrecord.h"
#include "storage/seriesfileio.h"
#include "storage/seriesrecord.h"
#include "targets/scoretext.h"
#include "targets/targetcatalogue.h"
#include "targets/targetdescriptor.h"

namespace zark {
namespace {

QString Fixed(double value, int decimals) { return CsvFigure(value, decimals); }

// The hold columns of a shot: empty for a shot without hold (no trace point, nothing before it).
QString HoldColumns(const HoldFigures& f) {
    if (!f.valid) return QStringLiteral(",,,,,,,,");
    return ',' + Fixed(100 * f.inTop, 1) + ',' + Fixed(100 * f.inNext, 1) + ',' + Fixed(f.traceMm, 2) + ',' +
           Fixed(f.meanXmm, 2) + ',' + Fixed(f.meanYmm, 2) + ',' + Fixed(f.releaseMm, 2) + ',' +
           Fixed(f.aimingSeconds, 2) + ',' + QString::number(f.points);
}

// The group columns of a series' total line: empty without a fired shot.
QString GroupColumns(const GroupFigures& g) {
    if (g.shots == 0) return QStringLiteral(",,,,,,,,");
    return ',' + Fixed(g.meanXmm, 2) + ',' + Fixed(g.meanYmm, 2) + ',' + (g.clock ? QString::number(g.clock) : QString()) +
           ',' + Fixed(g.meanDistanceMm, 2) + ',' + Fixed(g.extremeSpreadMm, 2) + ',' + Fixed(g.meanRadiusMm, 2) + ',' +
           Fixed(g.sdXmm, 2) + ',' + Fixed(g.sdYmm, 2);
}

QString Optional(bool present, double value, int decimals) { return present ? Fixed(value, decimals) : QString(); }

// The phase columns of a shot: empty where a phase did not occur, all empty without phases.
QString PhaseColumns(const ShotPhases& f) {
    if (!f.valid) return QStringLiteral(",,,,,,,,,,,");
    static const char* const kVerdicts[] = {"no hold", "long hold", "drifted out of the hold", "jerked release",
                                            "no follow-through"};
    QString verdict;
    for (int bit = 0; bit < 5; ++bit)
        if (f.verdict & (1 << bit)) verdict += (verdict.isEmpty() ? "" : "; ") + QString(kVerdicts[bit]);
    const auto start = [&f](int index) { return ',' + Optional(index >= 0, f.SecondsBefore(index), 2); };
    return start(f.approach) + start(f.settle) + start(f.hold) + start(f.release) + ',' +
           Optional(f.HasHold(), f.holdSeconds, 2) + ',' + Optional(f.HasHold(), f.holdSpeed, 2) + ',' +
           Optional(f.HasHold(), f.holdRadius, 2) + ',' + Optional(f.HasRelease(), f.releaseMm, 2) + ',' +
           Optional(f.HasFollowThrough(), f.followSeconds, 2) + ',' + Optional(f.HasFollowThrough(), f.driftMm, 2) +
           ',' + (verdict.isEmpty() ? QStringLiteral("clean") : verdict);
}

// The series' means on its total line, under the shots' own columns.
QString PhaseMeanColumns(const PhaseMeans& m) {
    return QStringLiteral(",,,,") + ',' + Optional(m.holds > 0, m.holdSeconds, 2) + ',' +
           Optional(m.holds > 0, m.holdSpeed, 2) + ',' + Optional(m.holds > 0, m.holdRadius, 2) + ',' +
           Optional(m.releases > 0, m.releaseMm, 2) + ',' + ',' + Optional(m.follows > 0, m.driftMm, 2) + ',';
}

// The timing columns of a shot: its window (from 1), its time in that window in seconds and 1 when
// it is late (it counts 0 in the total); empty for a series shot without the clock, and the window
// and time empty for a shot fired before any window opened.
QString TimingColumns(const TraceStore& store, int i) {
    if (!store.Timed()) return QStringLiteral(",,,");
    const TimedShot t = store.ShotTiming(i);
    if (t.window < 0) return QStringLiteral(",,,") + QString::number(t.late);
    return ',' + QString::number(t.window + 1) + ',' + Fixed(t.timeMs / 1000.0, 2) + ',' + QString::number(t.late);
}

// The coaching columns of a shot: its held score and luck, the distance and clock from its hold's
// mean point, its call (target units), the call's score and error; empty where it has none.
QString CoachingColumns(const ShotCoaching& c) {
    QString text = ',' + Optional(c.hasHeld, c.held, 2) + ',' + Optional(c.hasHeld, c.luck, 2) + ',' +
                   Optional(c.hasHold, c.holdToShotMm, 2) + ',' +
                   (c.hasHold && c.holdToShotClock ? QString::number(c.holdToShotClock) : QString());
    if (!c.called) return text + QStringLiteral(",,,,");
    return text + ',' + QString::number(c.call.x) + ',' + QString::number(c.call.y) + ',' + Fixed(c.callScore, 1) +
           ',' + Fixed(c.callErrorMm, 2);
}

// The series' luck, the release's vector from the holds to the shots and the mean call error.
QString CoachingTotals(const SeriesCoaching& c) {
    return QStringLiteral(",,") + Optional(c.lucky > 0, c.luck, 2) + ',' + Optional(c.holds > 0, c.aimToHitMm, 2) +
           ',' + (c.holds > 0 && c.aimToHitClock ? QString::number(c.aimToHitClock) : QString()) + QStringLiteral(",,,,") +
           Optional(c.calls > 0, c.meanCallErrorMm, 2);
}

QString Quoted(const std::string& text) {
    QString q = QString::fromStdString(text);
    q.replace('"', "\"\"");
    return '"' + q + '"';
}

void ExportSeries(int number, const TraceImage& image, const TargetPair& pair, QString& csv) {
    auto store = std::make_unique<TraceStore>();
    store->CopyFrom(image);
    const SeriesAnalysis analysis = AnalyseSeries(*store, *pair.first, pair.second);
    const SeriesPhases phases = AnalyseSeriesPhases(*store, *pair.first, pair.second);
    const SeriesCoaching coaching = AnalyseCoaching(*store, phases, *pair.first, pair.second);
    for (int i = 0; i < store->ShotCount(); ++i) {
        const ShotRecord& shot = store->Shot(i);
        const ScoredShot scored = ScoreStoredShot(*store, i, pair.first, pair.second);
        const TargetDescriptor& face = *scored.face;
        QString line = QString::asprintf("%d,%d,%d,%d,", number, i + 1, shot.x, shot.y);
        const char* side = shot.side ? "R" : "L";
        if (!scored.fired) {
            // the shot list shows an unfired shot with score, time and direction 0
            line += QString::asprintf(",%s,0.0,", side) + Quoted(ScoreText(face, 0)) + ",,0.00";
        } else {
            // a fired shot without trace point of its own (the trace was full) is scored from its
            // position all the same, at the time of the last point
            const double score = scored.score;
            if (!store->ShotHasNoTrace(i)) line += QString::number(shot.traceIndex);
            line += QString::asprintf(",%s,", side) + QString::fromStdString(FixedText(score, 0, 1)) + ',' +
                    Quoted(ScoreText(face, score, scored.innerRing)) +
                    QString::asprintf(",%d,", ClockHour(scored.bearing)) +
                    QString::fromStdString(ShotTimeText(scored.timeMs));
        }
        const HoldFigures& hold = analysis.hold[std::size_t(std::min(i, kMaxShots - 1))];
        csv += line + HoldColumns(hold) + QStringLiteral(",,,,,,,,") +
               PhaseColumns(phases.shot[std::size_t(std::min(i, kMaxShots - 1))]) + TimingColumns(*store, i) +
               CoachingColumns(coaching.shot[std::size_t(std::min(i, kMaxShots - 1))]) + '\n';
    }
    csv += QString::asprintf("%d,total,,,,,,", number) + Quoted(TotalText(*pair.first, SeriesTotal(*store, pair))) +
           ",," + HoldColumns(HoldFigures{}) + GroupColumns(analysis.group) + PhaseMeanColumns(phases.means) +
           QStringLiteral(",,,") + CoachingTotals(coaching) + '\n';
}

}  // namespace

char* WriteCsvFigure(char* text, double value, int decimals) {
    // half the last decimal's unit, worked out once for the usual decimals
    static const double kHalfUnit[] = {0.5 * std::pow(10.0, 0), 0.5 * std::pow(10.0, -1), 0.5 * std::pow(10.0, -2)};
    const double half = decimals >= 0 && decimals < int(std::size(kHalfUnit)) ? kHalfUnit[decimals]
                                                                               : 0.5 * std::pow(10.0, -decimals);
    if (std::abs(value) < half) value = 0;
    return WriteFixed(text, value, decimals);
}

QString CsvFigure(double value, int decimals) {
    char text[kFixedChars];
    return QString::fromLatin1(text, WriteCsvFigure(text, value, decimals) - text);
}

double SeriesTotal(const TraceStore& store, const TargetPair& pair) {
    double total = 0;
    for (int i = 0; i < store.ShotCount(); ++i) {
        const ScoredShot shot = ScoreStoredShot(store, i, pair.first, pair.second);
        // an unfired shot adds its 0, a late shot of a timed series too
        if (shot.face) total += TotalPart(*shot.face, TimedValue(shot.score, store.ShotTiming(i)));
    }
    return total;
}

bool ReadExportFile(const QString& path, const TargetCatalogue& catalogue, ExportFile& file, QString& error,
                    bool quiet) {
    const bool isMatch = IsMatchFileName(path);
    const QString kind = isMatch ? QStringLiteral("match") : QStringLiteral("series");
    SeriesFileIo io;
    file.series.clear();
    if (isMatch) {
        file.seriesRecord.reset();
        if (!file.matchRecord) file.matchRecord = std::make_unique<MatchRecord>();
    } else {
        file.matchRecord.reset();
        if (!file.seriesRecord) file.seriesRecord = std::make_unique<SeriesRecord>();
    }
    ReadNotes notes;
    if (!(isMatch ? io.ReadMatch(path, *file.matchRecord, &notes) : io.ReadSeries(path, *file.seriesRecord, &notes))) {
        error = QStringLiteral("cannot read the %1 file '%2'").arg(kind, path);
        return false;
    }
    // Shot lines of which none can be read are no series of no shots.
    if (notes.shotLines == 0 && notes.refusedShotLines > 0) {
        error = QStringLiteral("the %1 file '%2' has no shot line that can be read (%3 refused)")
                    .arg(kind, path)
                    .arg(notes.refusedShotLines);
        return false;
    }
    file.targetId = isMatch ? file.matchRecord->targetId : file.seriesRecord->targetId;
    file.date = isMatch ? file.matchRecord->date : file.seriesRecord->date;
    const bool known = quiet ? catalogue.FindQuietly(file.targetId, file.pair) : catalogue.FindByIdentity(file.targetId, file.pair);
    if (!known) {
        error = QStringLiteral("the %1 file '%2' names an unknown target (%3)").arg(kind, path).arg(file.targetId);
        return false;
    }
    if (!isMatch) {
        file.series.push_back(&file.seriesRecord->store);
        return true;
    }
    const MatchRecord& match = *file.matchRecord;
    const int stored = std::min(ScoredEntries(match.programme), int(kMaxMatchSeries));
    for (int number = 0; number < stored; ++number) file.series.push_back(&match.series[number]);
    return true;
}

bool ExportCsv(const QString& path, const TargetCatalogue& catalogue, QString& csv, QString& error) {
    csv = "series,shot,x,y,trace_index,side,score,score_text,direction,time," + QString(kCsvAnalysisColumns) +
          QStringLiteral(",window,time_in_window_s,late,") + kCsvCoachingColumns + '\n';
    ExportFile file;
    if (!ReadExportFile(path, catalogue, file, error)) return false;
    for (std::size_t k = 0; k < file.series.size(); ++k) ExportSeries(int(k) + 1, *file.series[k], file.pair, csv);
    return true;
}

namespace {

int CannotWrite(const QString& name, const QString& why) {
    std::fprintf(stderr, "zark: cannot write '%s': %s\n", qPrintable(name), qPrintable(why));
    return 1;
}

// Writes every byte to the open device; a short or failed write is a failure.
bool WriteAll(QFileDevice& device, const QByteArray& bytes) {
    return device.write(bytes) == bytes.size() && device.flush();
}

}  // namespace

int WriteExportText(const QByteArray& bytes, const QString& out) {
    if (out.isEmpty()) {
        QFile console;
        if (!console.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered) || !WriteAll(console, bytes))
            return CannotWrite(QStringLiteral("standard output"), console.errorString());
        return 0;
    }
    const QFileInfo target(out);
    if (target.exists() && !target.isFile()) {
        // A named pipe, a device or the like is written as it is: replacing it with a regular
        // file would take it away from whoever reads it.
        QFile file(out);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || !WriteAll(file, bytes))
            return CannotWrite(out, file.errorString());
        return 0;
    }
    // A regular or new file is replaced only once the whole text is written.
    QString error;
    if (!WriteWholeFile(out, std::string_view(bytes.constData(), std::size_t(bytes.size())), &error))
        return CannotWrite(out, error);
    return 0;
}

int RunCsvExport(const QString& path, const QString& out) {
    TargetCatalogue catalogue;
    catalogue.Build();
    QString csv;
    QString error;
    if (!QFile::exists(path)) {
        std::fprintf(stderr, "zark: the file '%s' does not exist\n", qPrintable(path));
        return 1;
    }
    if (!ExportCsv(path, catalogue, csv, error)) {
        std::fprintf(stderr, "zark: %s\n", qPrintable(error));
        return 1;
    }
    return WriteExportText(csv.toUtf8(), out);
}

}  // namespace zark
