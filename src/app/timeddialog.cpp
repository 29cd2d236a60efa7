#include "app/timeddialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "i18n/uistrings.h"
#include "settings/registryaccess.h"
#include "settings/settings.h"

namespace zark {

TimedChoice LoadTimedChoice() {
    RegistryAccess access;
    TimedChoice choice;
    std::int32_t preset = 0;
    if (access.readInt("TimedPreset", preset)) choice.preset = TimedPreset(std::clamp(preset, 0, kTimedPresetCount - 1));
    TimedDrill& d = choice.custom;
    access.readInt("TimedPrepMs", d.prepMs);
    access.readInt("TimedWindowMs", d.windowMs);
    access.readInt("TimedPauseMs", d.pauseMs);
    access.readInt("TimedShotsPerWindow", d.shotsPerWindow);
    access.readInt("TimedWindows", d.windows);
    access.readInt("TimedRandomStart", d.randomStart);
    std::int32_t say = 1;
    access.readInt("TimedSayAttention", say);
    choice.sayAttention = say != 0;
    d = d.Clamped();
    d.randomStart = d.randomStart != 0;
    return choice;
}

void SaveTimedChoice(const TimedChoice& choice) {
    RegistryAccess access;
    const TimedDrill d = choice.custom.Clamped();
    access.writeInt("TimedPreset", std::int32_t(choice.preset));
    access.writeInt("TimedPrepMs", d.prepMs);
    access.writeInt("TimedWindowMs", d.windowMs);
    access.writeInt("TimedPauseMs", d.pauseMs);
    access.writeInt("TimedShotsPerWindow", d.shotsPerWindow);
    access.writeInt("TimedWindows", d.windows);
    access.writeInt("TimedRandomStart", d.randomStart != 0);
    access.writeInt("TimedSayAttention", choice.sayAttention ? 1 : 0);
}

namespace {

QDoubleSpinBox* Seconds(double low, double high, QWidget* parent) {
    auto* box = new QDoubleSpinBox(parent);
    box->setRange(low, high);
    box->setDecimals(1);
    return box;
}

double SecondsOf(std::int32_t ms) { return ms / 1000.0; }
std::int32_t MsOf(double seconds) { return std::int32_t(std::lround(seconds * 1000)); }

}  // namespace

TimedDialog::TimedDialog(const TimedChoice& choice, QWidget* parent) : QDialog(parent), custom_(choice.custom) {
    LoadUiStrings();
    setWindowTitle(UiQString(530));
    presets_ = new QComboBox(this);
    for (int i = 0; i < kTimedPresetCount; ++i) presets_->addItem(UiQString(PresetNameId(TimedPreset(i))));
    prep_ = Seconds(0, 600, this);
    window_ = Seconds(0.5, 900, this);
    pause_ = Seconds(0, 600, this);
    shots_ = new QSpinBox(this);
    shots_->setRange(1, 20);
    windows_ = new QSpinBox(this);
    windows_->setRange(1, 20);
    random_ = new QCheckBox(UiQString(537), this);
    say_ = new QCheckBox(UiQString(545), this);
    say_->setChecked(choice.sayAttention);

    auto* form = new QFormLayout;
    form->addRow(UiQString(531), presets_);
    form->addRow(UiQString(532), prep_);
    form->addRow(UiQString(533), window_);
    form->addRow(UiQString(534), pause_);
    form->addRow(UiQString(535), shots_);
    form->addRow(UiQString(536), windows_);
    form->addRow(random_);
    form->addRow(say_);
    refusal_ = new QLabel(this);
    refusal_->setWordWrap(true);
    refusal_->hide();
    form->addRow(refusal_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (ok_->isEnabled()) accept();  // a drill that does not fit is never taken
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    presets_->setCurrentIndex(int(choice.preset));
    ShowPreset(int(choice.preset));
    connect(presets_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!prep_->isEnabled()) return ShowPreset(index);
        custom_ = Fields();  // leaving "Custom": its values are kept for the next time it is chosen
        ShowPreset(index);
    });
    for (QDoubleSpinBox* box : {prep_, window_, pause_})
        connect(box, &QDoubleSpinBox::valueChanged, this, &TimedDialog::CheckFits);
    for (QSpinBox* box : {shots_, windows_}) connect(box, &QSpinBox::valueChanged, this, &TimedDialog::CheckFits);
    connect(random_, &QCheckBox::toggled, this, &TimedDialog::CheckFits);
    CheckFits();
}

void TimedDialog::CheckFits() {
    if (!ok_) return;  // still being built
    const TimedDrill d = Fields();
    const bool fits = FitsTheTrace(d, Settings::kUnitTimeStep);
    if (!fits) {
        const double minutes = LongestSequenceMs(d, Settings::kUnitTimeStep) / 60000.0;
        refusal_->setText(QString::asprintf(UiText(548).c_str(), qPrintable(UiLocale().toString(minutes, 'f', 1))));
    }
    if (refusal_->isHidden() == fits) {
        ok_->setEnabled(fits);
        return;
    }
    refusal_->setVisible(!fits);
    ok_->setEnabled(fits);
    adjustSize();  // room for the reason, or none left over without it
}

void TimedDialog::ShowPreset(int index) {
    const bool custom = TimedPreset(index) == TimedPreset::Custom;
    const TimedDrill d = custom ? custom_ : DrillOfPreset(TimedPreset(index));
    prep_->setValue(SecondsOf(d.prepMs));
    window_->setValue(SecondsOf(d.windowMs));
    pause_->setValue(SecondsOf(d.pauseMs));
    shots_->setValue(d.shotsPerWindow);
    windows_->setValue(d.windows);
    random_->setChecked(d.randomStart != 0);
    for (QWidget* field : {static_cast<QWidget*>(prep_), static_cast<QWidget*>(window_), static_cast<QWidget*>(pause_),
                           static_cast<QWidget*>(shots_), static_cast<QWidget*>(windows_), static_cast<QWidget*>(random_)})
        field->setEnabled(custom);
    CheckFits();
}

TimedDrill TimedDialog::Fields() const {
    TimedDrill d{MsOf(prep_->value()), MsOf(window_->value()), MsOf(pause_->value()),
                 shots_->value(),      windows_->value(),      random_->isChecked() ? 1 : 0};
    return d.Clamped();
}

TimedChoice TimedDialog::Choice() const {
    TimedChoice choice;
    choice.preset = TimedPreset(std::clamp(presets_->currentIndex(), 0, kTimedPresetCount - 1));
    choice.custom = choice.preset == TimedPreset::Custom ? Fields() : custom_;
    choice.sayAttention = say_->isChecked();
    return choice;
}

}  // namespace zark
