#include <QCheckBox>
#include <QCollator>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QToolButton>
#include <algorithm>

#include "i18n/uistrings.h"
#include "settings/widgets/customizetexts.h"
#include "settings/widgets/settingspages.h"
#include "window/updowncontrol.h"

namespace zark {

using namespace customize_text;

namespace {

QString HertzText(int hz) { return QString::asprintf("%dHz", hz); }

}  // namespace

int SoundPage::FrequencyIndex(int hz) {
    const auto* found = std::find(kToneFrequencies.begin(), kToneFrequencies.end(), hz);
    return found == kToneFrequencies.end() ? -1 : int(found - kToneFrequencies.begin());
}

SoundPage::SoundPage(const UiMetrics& metrics, CustomizeSoundHooks* sound, QWidget* parent)
    : SettingsPage(metrics, parent), sound_(sound) {
    auto* group = new QGroupBox(UiQString(kBlindShooting), this);
    Place(group, 10, 10, 190, 80);
    blind_ = AddCheckBox(kEnableBlind, 20, 28, 150, 20);
    sweep_ = AddTestButton(kTestSoundIcon, kTestSound, 170, 28);
    // A longer text than its place (another language, a wider font) moves the button and widens the box.
    if (const int beyond = blind_->geometry().right() + 1 - sweep_->x(); beyond > 0) {
        sweep_->move(sweep_->x() + beyond, sweep_->y());
        group->resize(group->width() + beyond, group->height());
    }
    sweep_->setObjectName(QStringLiteral("sweep"));
    connect(sweep_, &QToolButton::clicked, this, &SoundPage::Sweep);

    const int lastIndex = int(kToneFrequencies.size()) - 1;
    const auto addFrequency = [this, lastIndex](int labelId, int x, int height, QLabel*& readOut, UpDownControl*& control) {
        AddLabel(labelId, x, 48, 90, 15);
        readOut = AddReadOut(x, 63, 50, height);
        control = new UpDownControl(this);
        control->SetRange(0, lastIndex);
        Place(control, x + 50, 63, 20, height);
        connect(control, &UpDownControl::valueChanged, readOut,
                [readOut](int position) { readOut->setText(HertzText(kToneFrequencies[std::size_t(position)])); });
    };
    addFrequency(kCentre, 20, 18, centreText_, centre_);
    addFrequency(kPeripheral, 100, 20, peripheralText_, peripheral_);
    centre_->setObjectName(QStringLiteral("centre"));
    peripheral_->setObjectName(QStringLiteral("peripheral"));

    std::vector<std::string> names;
    if (sound_) names = sound_->SoundNames();
    const auto addSound = [this, &names](int labelId, int y, int listHeight, QComboBox*& list, QToolButton*& test) {
        AddLabel(labelId, 10, y, 160, 15);
        list = AddList(10, y + 18, 140, listHeight);
        FillSoundList(list, names);
        test = AddTestButton(kTestSoundIcon, kTestSound, 170, y + 18);
        connect(test, &QToolButton::clicked, this, [this, list] {
            if (sound_) sound_->PlayShotSound(list->currentText().toStdString());
        });
    };
    addSound(kRifle, 95, 150, rifle_, rifleTest_);
    addSound(kPistol, 145, 100, pistol_, pistolTest_);
    rifle_->setObjectName(QStringLiteral("rifle"));
    pistol_->setObjectName(QStringLiteral("pistol"));

    tellResult_ = AddCheckBox(kTellResult, 10, 195, 160, 15);
}

void SoundPage::FillSoundList(QComboBox* list, const std::vector<std::string>& names) {
    QStringList entries{UiQString(kNoSound)};
    for (const std::string& name : names) {
        const QString entry = QString::fromStdString(name);
        if (!entry.isEmpty() && !entries.contains(entry)) entries << entry;
    }
    QCollator collator(UiLocale());
    std::sort(entries.begin(), entries.end(), collator);
    list->addItems(entries);
}

void SoundPage::SelectSound(QComboBox* list, const std::string& name) {
    const QString wanted = QString::fromStdString(name);
    int index = IsNoSoundName(name) ? list->findText(UiQString(kNoSound)) : -1;
    if (index < 0) index = list->findText(wanted, Qt::MatchFixedString);  // letter case aside
    if (index < 0 && !wanted.isEmpty()) index = list->findText(wanted, Qt::MatchStartsWith);
    // A sound that is gone is shown as no sound, never as an empty choice that would be played.
    if (index < 0) index = list->findText(UiQString(kNoSound));
    list->setCurrentIndex(index);
}

void SoundPage::Load(const Settings& settings) {
    blind_->setChecked(settings.BlindShooting != 0);
    // A frequency outside the table is shown as it is; its arrows start at the table's first.
    centreText_->setText(HertzText(settings.CenterFrequency));
    if (const int index = FrequencyIndex(settings.CenterFrequency); index >= 0) centre_->SetValue(index);
    peripheralText_->setText(HertzText(settings.PeripheralFrequency));
    if (const int index = FrequencyIndex(settings.PeripheralFrequency); index >= 0) peripheral_->SetValue(index);
    SelectSound(rifle_, settings.SoundRifle);
    SelectSound(pistol_, settings.SoundPistol);
    tellResult_->setChecked(settings.TellResult != 0);
}

void SoundPage::Save(Settings& settings) const {
    settings.BlindShooting = blind_->isChecked() ? 1 : 0;
    settings.CenterFrequency = kToneFrequencies[std::size_t(centre_->Value())];
    settings.PeripheralFrequency = kToneFrequencies[std::size_t(peripheral_->Value())];
    settings.SoundRifle = rifle_->currentText().toStdString();
    settings.SoundPistol = pistol_->currentText().toStdString();
    settings.TellResult = tellResult_->isChecked() ? 1 : 0;
}

void SoundPage::Sweep() {
    if (!sound_) return;
    // A second press ends a sweep that is still playing.
    if (sound_->ToneSweepPlaying()) {
        sound_->StopSound();
        return;
    }
    sound_->StartToneSweep(kToneFrequencies[std::size_t(centre_->Value())],
                           kToneFrequencies[std::size_t(peripheral_->Value())]);
}

}  // namespace zark
