#pragma once

#include <QWidget>
#include <functional>

namespace zark {

// The mark of one shot on the target view: a round child window showing the bullet hole, with the
// shot number as its tooltip. A click reports code 0 to the view, a second click within the
// double-click time code 5 (double click); a third click is a click again. It takes no keyboard
// focus.
class ShotMark final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kClick = 0;
    static constexpr int kDoubleClick = 5;
    using ClickHandler = std::function<void(int childId, int code)>;

    // Created hidden; childId is 100 + the shot index, text its tooltip.
    ShotMark(const QString& text, QWidget* parent, int childId);

    void SetClickHandler(ClickHandler handler) { onClick_ = std::move(handler); }
    void SetHole(int diameter) { holeDiameter_ = diameter; }
    int HoleDiameter() const { return holeDiameter_; }
    // Moves and sizes the mark; a new size reshapes it to the inscribed ellipse.
    void Place(int x, int y, int width, int height);
    QPoint Position() const { return position_; }
    int SetSelected(int selected);
    int Selected() const { return selected_; }
    int ChildId() const { return childId_; }
    // Paints the mark onto another device at its place (the printout).
    void DrawOnto(QPainter& painter) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    ClickHandler onClick_;
    QPoint position_;
    int childId_;
    int holeDiameter_ = 0;
    int selected_ = 0;
    qint64 lastClickTime_ = 0;
    bool hasLastClick_ = false;
    int doubleClickTime_;
};

}  // namespace zark
