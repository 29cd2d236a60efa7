// zark_simulator_traces: draws what the simulated shooters' traces look like around their shots, to
// be looked at beside a real shooter's. One row per profile, one panel per shot: the face's rings,
// the aim from two seconds to one second before the shot (blue), the last second (green), the
// follow-through up to half a second after it (red) and the shot (a circle of the bullet's size).
// The samples go through the real decoder, as in the program.
//
//   zark_simulator_traces [--seed N] [--shots N] [--face IDENTITY] [--moving] OUT.png
//
// --face takes a target identity (1200 the 50 m rifle face, the default; 1400 the air rifle decimal
// face; 2050 the moose). --moving plays moving-target runs with the moose's leads.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "simulatedplay.h"
#include "targets/targetcatalogue.h"

namespace {

using zark::tools::Collector;
using zark::tools::Point;
using zark::tools::Play;

void DrawFace(QPainter& p, const zark::TargetDescriptor& face, double pixelsPerUnit) {
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < face.RingCount(); ++i) {
        const bool black = face.RingColour(i) == 0;
        const double r = face.RingRadius(i) * pixelsPerUnit;
        p.setBrush(black ? Qt::black : Qt::white);
        p.setPen(QPen(black ? Qt::white : Qt::black, 1));
        p.drawEllipse(QPointF(0, 0), r, r);
    }
}

void DrawPanel(QPainter& p, const QRect& panel, const zark::TargetDescriptor& face, const Collector& run,
               std::size_t shot, double unitsAcross, const char* caption) {
    p.save();
    p.setClipRect(panel);
    p.fillRect(panel, QColor(235, 235, 225));
    p.translate(panel.center());
    const double ppu = panel.width() / unitsAcross;
    DrawFace(p, face, ppu);
    const Point& s = run.shots[shot];
    auto at = [&](const Point& q) { return QPointF(q.x * ppu, -q.y * ppu); };
    const std::int64_t steps[] = {s.step - 50, s.step - 25, s.step, s.step + 13};
    const QColor colours[] = {QColor(60, 110, 255), QColor(40, 220, 60), QColor(255, 50, 40)};
    for (int part = 0; part < 3; ++part) {
        QPainterPath path;
        bool first = true;
        for (const Point& q : run.samples) {
            if (q.step < steps[part] || q.step > steps[part + 1]) continue;
            if (first) path.moveTo(at(q));
            else path.lineTo(at(q));
            first = false;
        }
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(colours[part], 2));
        p.drawPath(path);
    }
    const double bullet = face.BulletRadius() * ppu;
    p.setPen(QPen(QColor(255, 200, 0), 2));
    p.drawEllipse(at(s), bullet, bullet);
    p.restore();
    p.setPen(Qt::black);
    p.drawText(panel.adjusted(4, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop, QString::fromUtf8(caption));
    const double score = face.ScoreShot(s.x, s.y);
    p.drawText(panel.adjusted(0, 2, -4, 0), Qt::AlignRight | Qt::AlignTop, QString::number(score, 'f', 1));
}

}  // namespace

int main(int argc, char** argv) {
    // a picture needs no screen
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    std::uint32_t seed = 11;
    int shots = 5;
    int identity = 1200;
    bool moving = false;
    std::string out;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--seed" && i + 1 < argc) seed = std::uint32_t(std::strtoul(argv[++i], nullptr, 10));
        else if (arg == "--shots" && i + 1 < argc) shots = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--face" && i + 1 < argc) identity = std::atoi(argv[++i]);
        else if (arg == "--moving") moving = true;
        else out = arg;
    }
    zark::TargetCatalogue catalogue;
    catalogue.Build();
    zark::TargetPair pair;
    if (out.empty() || !catalogue.FindByIdentity(identity, pair)) {
        std::fprintf(stderr, "usage: zark_simulator_traces [--seed N] [--shots N] [--face IDENTITY] [--moving] OUT.png\n");
        return 2;
    }
    const int size = 260;
    QImage image(shots * size, 3 * size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    const zark::ShooterProfile profiles[] = {zark::ShooterProfile::Beginner, zark::ShooterProfile::Club,
                                              zark::ShooterProfile::Elite};
    for (int row = 0; row < 3; ++row) {
        const Collector run = Play(profiles[row], seed, pair, moving, shots);
        for (int k = 0; k < shots && k + 1 < int(run.shots.size()); ++k) {
            const QRect panel(k * size + 1, row * size + 1, size - 2, size - 2);
            // the first shot's trace may begin before the stream; show the later ones
            const zark::TargetDescriptor& face = moving && (k + 1) % 2 == 1 && pair.second ? *pair.second : *pair.first;
            DrawPanel(painter, panel, face, run, std::size_t(k + 1), 2.2 * face.RingRadius(face.RingCount() > 8 ? face.RingCount() - 8 : 0),
                      zark::ShooterProfileName(profiles[row]));
        }
    }
    painter.end();
    if (!image.save(QString::fromStdString(out))) {
        std::fprintf(stderr, "zark_simulator_traces: cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}
