#pragma once

#include <QLabel>
#include <QTimer>

namespace zark {

// A line of text over the bottom of a part of the main window that goes away by itself (or at a
// click): tells the shooter something without stopping the shooting with a modal box.
class NoticeBanner final : public QLabel {
    Q_OBJECT

public:
    static constexpr int kShowMs = 12000;

    // parent holds the banner; area (a child of parent, or parent itself) is the part it covers.
    NoticeBanner(QWidget* parent, QWidget* area);

    void Show(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void Place();

    QWidget* area_;
    QTimer hideTimer_;
    QTimer placeTimer_;
};

// A one-line label that never cuts its text mid-word at its edge: what does not fit ends in "…";
// text() and the tooltip keep it whole.
class ElidedLabel final : public QLabel {
public:
    using QLabel::QLabel;
    // The text as it is drawn in the room the label has.
    QString ShownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace zark
