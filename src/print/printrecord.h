#pragma once

#include <QRect>
#include <QString>

namespace zark {

class RegistryAccess;

// The printed page: margins and paper size in hundredths of a millimetre, kept in the "Dialogs"
// group as PrinterMargins (left, top, right, bottom) and PrinterPaperSize (0, 0, width, height).
struct PrintRecord {
    int marginLeft = 2500;
    int marginTop = 1500;
    int marginRight = 1500;
    int marginBottom = 1500;
    int paperWidth = 20990;
    int paperHeight = 29700;

    // A missing or unreadable value keeps the default; sizes that cannot make a page (margins
    // that leave no room, a paper below 5 cm or above 2 m) are not taken either.
    void Load(RegistryAccess& registry);
    void Save(RegistryAccess& registry) const;
    // False for sizes that cannot make a page, as Load refuses them.
    bool Usable() const;

    friend bool operator==(const PrintRecord&, const PrintRecord&) = default;
};

// The layout of the report on one page, in device pixels with the page's top-left at (0, 0).
struct ReportLayout {
    QRect frame;   // the paper less the margins
    QRect header;  // the top 15 mm of the frame
    QRect body;    // the rest of the frame
    // Page 1: the face (w × w·400/500) and the shot list (w × 100 mm) 15 mm below it.
    QRect face;
    QRect shotList;
    // The diagram pages: two columns with 15 mm between them; the lowest 10 mm of the body hold
    // the column titles and the time labels.
    QRect columns[2];
    int gutter = 0;  // 5 mm at the left of each column for its title

    static ReportLayout For(const PrintRecord& record, int dpiX, int dpiY);
};

// The rows of one diagram column for n shots: row k (0 at the top) shows shot n - k; each row is
// columnHeight / n high, its plot 1.25 mm lower. No rows without shots.
struct DiagramRows {
    int count = 0;
    int pitch = 0;       // from one row's top to the next
    int plotHeight = 0;  // the drawn part of a row
    static DiagramRows For(int shots, int columnHeight, int dpiY);
};

// "-5.0s" and "1.0s" for ReplayTimeBefore 5000 and ReplayTimeAfter 1000: whole and tenth seconds,
// always with a point.
QString TimeBeforeLabel(int replayTimeBeforeMs);
QString TimeAfterLabel(int replayTimeAfterMs);

}  // namespace zark
