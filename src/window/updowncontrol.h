#pragma once

#include <QElapsedTimer>
#include <QWidget>

class QToolButton;

namespace zark {

// A small up-down control: two arrow buttons stacked in its rectangle (20 × 20 pixels unless
// placed otherwise) that step a value within a range; the arrow keys and the wheel step it too,
// Page Up and Page Down by the larger step. Holding an arrow repeats its step; with an
// acceleration set, the step grows once the arrow has been held long enough. Inverted, the up
// arrow lowers the value (the Customize dialog's replay times). valueChanged comes only when the
// value really changes.
class UpDownControl final : public QWidget {
    Q_OBJECT

public:
    explicit UpDownControl(QWidget* parent = nullptr);

    void SetRange(int minimum, int maximum);
    void SetValue(int value);
    int Value() const { return value_; }
    int Minimum() const { return minimum_; }
    int Maximum() const { return maximum_; }
    void SetInverted(bool inverted) { inverted_ = inverted; }
    // Each step is fastStep once an arrow has been held for holdMs (0: never).
    void SetAcceleration(int holdMs, int fastStep);
    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

signals:
    void valueChanged(int value);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // One step toward the up arrow's end (+1) or the down arrow's (-1).
    void Arrow(int direction, int size = 1);
    int HeldStep() const;

    QToolButton* up_ = nullptr;
    QToolButton* down_ = nullptr;
    QElapsedTimer held_;
    int minimum_ = 0;
    int maximum_ = 0;
    int value_ = 0;
    bool inverted_ = false;
    int holdMs_ = 0;
    int fastStep_ = 1;
};

}  // namespace zark
