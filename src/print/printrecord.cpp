#include "print/printrecord.h"

#include <algorithm>
#include <cstdlib>

#include "settings/registryaccess.h"
#include "targets/render/facepainter.h"

namespace zark {
namespace {

constexpr int kHeaderHeight = 1500;      // 15 mm
constexpr int kColumnGap = 1500;         // 15 mm between the diagram columns
constexpr int kShotListGap = 1500;       // 15 mm between the face and the shot list
constexpr int kShotListHeight = 10000;   // 100 mm
constexpr int kColumnTextHeight = 1000;  // 10 mm for the titles and time labels
constexpr int kGutter = 500;             // 5 mm
constexpr int kRowGap = 125;             // 1.25 mm
constexpr int kMinPaper = 5000;          // 5 cm
constexpr int kMaxPaper = 200000;        // 2 m

bool UsablePage(int width, int height, int left, int top, int right, int bottom) {
    if (width < kMinPaper || height < kMinPaper || width > kMaxPaper || height > kMaxPaper) return false;
    if (width > height) return false;  // the report is drawn upright
    if (left < 0 || top < 0 || right < 0 || bottom < 0) return false;
    // The frame must hold the header and some body.
    return static_cast<long long>(left) + right < width - kMinPaper / 2 &&
           static_cast<long long>(top) + bottom < height - kHeaderHeight - kMinPaper / 2;
}

}  // namespace

void PrintRecord::Load(RegistryAccess& registry) {
    Rect margins{marginLeft, marginTop, marginRight, marginBottom};
    Rect paper{0, 0, paperWidth, paperHeight};
    registry.readRect("PrinterMargins", margins);
    registry.readRect("PrinterPaperSize", paper);
    if (!UsablePage(paper.Width(), paper.Height(), margins.left, margins.top, margins.right, margins.bottom)) return;
    marginLeft = margins.left;
    marginTop = margins.top;
    marginRight = margins.right;
    marginBottom = margins.bottom;
    paperWidth = paper.Width();
    paperHeight = paper.Height();
}

bool PrintRecord::Usable() const {
    return UsablePage(paperWidth, paperHeight, marginLeft, marginTop, marginRight, marginBottom);
}

void PrintRecord::Save(RegistryAccess& registry) const {
    registry.writeRect("PrinterMargins", Rect{marginLeft, marginTop, marginRight, marginBottom});
    registry.writeRect("PrinterPaperSize", Rect{0, 0, paperWidth, paperHeight});
}

ReportLayout ReportLayout::For(const PrintRecord& r, int dpiX, int dpiY) {
    ReportLayout l;
    const int left = HundredthsToPixels(r.marginLeft, dpiX);
    const int top = HundredthsToPixels(r.marginTop, dpiY);
    const int right = HundredthsToPixels(r.paperWidth - r.marginRight, dpiX);
    const int bottom = HundredthsToPixels(r.paperHeight - r.marginBottom, dpiY);
    l.frame = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
    const int headerHeight = HundredthsToPixels(kHeaderHeight, dpiY);
    l.header = QRect(left, top, l.frame.width(), headerHeight);
    l.body = QRect(QPoint(left, top + headerHeight), l.frame.bottomRight());

    const int w = l.body.width();
    l.face = QRect(l.body.left(), l.body.top(), w, w * 400 / 500);
    l.shotList = QRect(l.body.left(), l.face.bottom() + 1 + HundredthsToPixels(kShotListGap, dpiY), w,
                       HundredthsToPixels(kShotListHeight, dpiY));

    const int gap = HundredthsToPixels(kColumnGap, dpiX);
    const int columnWidth = (w - gap) / 2;
    const int columnHeight = l.body.height() - HundredthsToPixels(kColumnTextHeight, dpiY);
    l.columns[0] = QRect(l.body.left(), l.body.top(), columnWidth, columnHeight);
    l.columns[1] = QRect(l.body.left() + columnWidth + gap, l.body.top(), columnWidth, columnHeight);
    l.gutter = HundredthsToPixels(kGutter, dpiX);
    return l;
}

DiagramRows DiagramRows::For(int shots, int columnHeight, int dpiY) {
    DiagramRows rows;
    if (shots <= 0 || columnHeight <= 0) return rows;
    rows.count = shots;
    rows.pitch = columnHeight / shots;
    rows.plotHeight = std::max(rows.pitch - HundredthsToPixels(kRowGap, dpiY), 1);
    return rows;
}

QString TimeBeforeLabel(int ms) {
    ms = std::abs(ms);
    return QStringLiteral("-%1.%2s").arg(ms / 1000).arg(ms % 1000 / 100);
}

QString TimeAfterLabel(int ms) {
    ms = std::abs(ms);
    return QStringLiteral("%1.%2s").arg(ms / 1000).arg(ms % 1000 / 100);
}

}  // namespace zark
