#pragma once

#include <QWidget>

class QToolButton;

namespace zark {

// A small up-down control: two arrow buttons stacked in 20 × 20 pixels that step a value within
// a range (arrow keys and the wheel too); valueChanged only when the value really changes.
class UpDownControl final : public QWidget {
    Q_OBJECT

public:
    explicit UpDownControl(QWidget* parent = nullptr);

    void SetRange(int minimum, int maximum);
    void SetValue(int value);
    int Value() const { return value_; }
    int Minimum() const { return minimum_; }
    int Maximum() const { return maximum_; }
    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

signals:
    void valueChanged(int value);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Step(int delta);

    QToolButton* up_ = nullptr;
    QToolButton* down_ = nullptr;
    int minimum_ = 0;
    int maximum_ = 0;
    int value_ = 0;
};

}  // namespace zark
