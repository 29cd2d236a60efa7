#pragma once

#include <QWidget>

namespace zark {

// The aim cross: a 32 × 32 child of the target view shaped as a plus of two 4-pixel bars, so the
// face stays visible around it. Red and yellow while shots are accepted, grey while they are not,
// red and cyan during a replay. It takes no mouse input.
class AimCross final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kSize = 32;
    explicit AimCross(QWidget* parent);

    // Return the previous value.
    int SetShotsEnabled(int enabled);
    int SetReplay(int replay);
    int shotsEnabled() const { return shotsEnabled_; }
    int replay() const { return replay_; }
    // Moves the top-left corner; z-order unchanged.
    void MoveTo(int x, int y) { move(x, y); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int shotsEnabled_ = 1;
    int replay_ = 0;
};

}  // namespace zark
