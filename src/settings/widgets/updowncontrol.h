#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

class QToolButton;

namespace zark {

// A pair of arrows that moves a position within a range, for a read-out beside it. The up arrow
// moves toward the upper limit, the down arrow toward the lower one; the upper limit may be the
// smaller number, which turns the arrows round. Holding an arrow repeats its step; with an
// acceleration set, the step grows once the arrow has been held long enough. With the focus, the
// Up and Down keys move it like the arrows, Page Up and Page Down by the larger step.
class UpDownControl final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kRepeatDelayMs = 400;
    static constexpr int kRepeatIntervalMs = 80;

    explicit UpDownControl(QWidget* parent = nullptr);

    void SetRange(int lower, int upper);
    // Clamped into the range; positionChanged is not emitted.
    void SetPosition(int position);
    int Position() const { return position_; }
    // Each step is fastStep once an arrow has been held for holdMs.
    void SetAcceleration(int holdMs, int fastStep);

    QToolButton* UpArrow() const { return up_; }
    QToolButton* DownArrow() const { return down_; }

signals:
    // The user moved the position.
    void positionChanged(int position);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void Press(int direction);
    void Release();
    void Repeat();
    void Step(int direction, int size = 1);

    QToolButton* up_ = nullptr;
    QToolButton* down_ = nullptr;
    QTimer repeat_;
    QElapsedTimer held_;
    int heldDirection_ = 0;
    int lower_ = 0;
    int upper_ = 100;
    int position_ = 0;
    int holdMs_ = 0;
    int fastStep_ = 1;
};

}  // namespace zark
