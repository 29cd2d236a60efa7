#pragma once

#include <QDialog>

#include "core/timedseries.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace zark {

// The drill chosen last and the custom drill, as the settings keep them.
struct TimedChoice {
    TimedPreset preset = TimedPreset::Rapid8;
    TimedDrill custom = DrillOfPreset(TimedPreset::Custom);
    bool sayAttention = true;  // "Attention" is spoken as well as signalled
    TimedDrill Drill() const { return preset == TimedPreset::Custom ? custom.Clamped() : DrillOfPreset(preset); }
};
// Read from and written to the settings key; values out of range are brought within range.
TimedChoice LoadTimedChoice();
void SaveTimedChoice(const TimedChoice& choice);

// Shoot > Timed Series...: the presets and the custom drill's preparation, window, pause, shots
// per window, windows and random start. The fields show the chosen preset's values and can be
// edited for "Custom" only. A custom drill whose sequence may not fit in the trace of a series is
// refused: OK stays disabled and the dialog says why.
class TimedDialog final : public QDialog {
    Q_OBJECT
public:
    TimedDialog(const TimedChoice& choice, QWidget* parent);
    TimedChoice Choice() const;

    QComboBox* Presets() const { return presets_; }
    QDoubleSpinBox* WindowSeconds() const { return window_; }
    QSpinBox* Windows() const { return windows_; }
    QCheckBox* RandomStart() const { return random_; }
    QCheckBox* SayAttention() const { return say_; }
    QLabel* Refusal() const { return refusal_; }
    QPushButton* OkButton() const { return ok_; }

private:
    void ShowPreset(int index);
    void CheckFits();
    TimedDrill Fields() const;

    TimedDrill custom_;
    QComboBox* presets_ = nullptr;
    QDoubleSpinBox* prep_ = nullptr;
    QDoubleSpinBox* window_ = nullptr;
    QDoubleSpinBox* pause_ = nullptr;
    QSpinBox* shots_ = nullptr;
    QSpinBox* windows_ = nullptr;
    QCheckBox* random_ = nullptr;
    QCheckBox* say_ = nullptr;
    QLabel* refusal_ = nullptr;
    QPushButton* ok_ = nullptr;
};

}  // namespace zark
