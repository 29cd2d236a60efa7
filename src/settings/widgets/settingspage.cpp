#include <QCheckBox>
#include <QCollator>
#include <QComboBox>
#include <QLabel>
#include <QSlider>
#include <QToolButton>
#include <algorithm>

#include "i18n/uistrings.h"
#include "settings/widgets/customizetexts.h"
#include "settings/widgets/settingspages.h"
#include "settings/widgets/svgpicture.h"
#include "window/updowncontrol.h"

namespace zark {

using namespace customize_text;

namespace {

constexpr int kSliderWidth = 160;
constexpr int kSliderHeight = 20;
constexpr int kScaleHeight = 10;
constexpr int kTestButtonSide = 20;

}  // namespace

SettingsPage::SettingsPage(const UiMetrics& metrics, QWidget* parent) : QWidget(parent), metrics_(metrics) {}

void SettingsPage::Place(QWidget* control, int x, int y, int width, int height, bool fixedSize) const {
    const int w = fixedSize ? width : metrics_.Scale(width);
    const int h = fixedSize ? height : metrics_.Scale(height);
    control->setGeometry(metrics_.Scale(x), metrics_.Scale(y), w, h);
}

QLabel* SettingsPage::AddLabel(int textId, int x, int y, int width, int height) {
    auto* label = new QLabel(UiQString(textId), this);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Place(label, x, y, width, height);
    // A text longer in another language or font than its place is given the room it needs.
    label->resize(std::max(label->width(), label->sizeHint().width()), label->height());
    return label;
}

QLabel* SettingsPage::AddReadOut(int x, int y, int width, int height) {
    auto* readOut = new QLabel(this);
    // white, with a thin border so that it reads as a field on a light page
    readOut->setStyleSheet(QStringLiteral("QLabel { background: white; color: black; border: 1px solid #a0a0a0; padding-left: 2px; }"));
    readOut->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Place(readOut, x, y, width, height);
    return readOut;
}

QSlider* SettingsPage::AddSlider(int maximum, int x, int y) {
    auto* slider = new QSlider(Qt::Horizontal, this);
    slider->setRange(0, maximum);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setTickInterval(1);
    slider->setSingleStep(1);
    slider->setPageStep(std::max(1, maximum / 5));
    Place(slider, x, y, kSliderWidth, kSliderHeight, true);
    return slider;
}

QCheckBox* SettingsPage::AddCheckBox(int textId, int x, int y, int width, int height) {
    auto* box = new QCheckBox(UiQString(textId), this);
    Place(box, x, y, width, height);
    box->resize(std::max(box->width(), box->sizeHint().width()), box->height());
    return box;
}

QToolButton* SettingsPage::AddTestButton(int iconId, int tooltipId, int x, int y) {
    auto* button = new QToolButton(this);
    button->setIcon(SettingsIcon(iconId));
    button->setIconSize(QSize(16, 16));
    button->setToolTip(UiQString(tooltipId));
    Place(button, x, y, kTestButtonSide, kTestButtonSide);
    return button;
}

QComboBox* SettingsPage::AddList(int x, int y, int width, int height) {
    auto* list = new QComboBox(this);
    const int closed = list->sizeHint().height();
    list->setGeometry(metrics_.Scale(x), metrics_.Scale(y), metrics_.Scale(width), closed);
    // the height of the open list, as rows
    const int rowHeight = std::max(1, list->fontMetrics().height() + 2);
    list->setMaxVisibleItems(std::max(3, (metrics_.Scale(height) - closed) / rowHeight));
    return list;
}

// ---- General ----------------------------------------------------------------------------------

GeneralPage::GeneralPage(const UiMetrics& metrics, QWidget* parent) : SettingsPage(metrics, parent) {
    AddLabel(kMinimumTime, 10, 10, 160, 15);
    time_ = AddSlider(14, 10, 28);
    time_->setObjectName(QStringLiteral("timeBetweenShots"));
    // The scale keeps the slider's fixed size, so that its marks stay under the slider's ticks.
    auto* scale = new SvgPicture(kTimeScale, this);
    scale->setGeometry(metrics_.Scale(10), metrics_.Scale(28) + kSliderHeight, kSliderWidth, kScaleHeight);

    AddLabel(kLanguage, 10, 75, 160, 15);
    language_ = AddList(10, 92, 160, 150);
    language_->setObjectName(QStringLiteral("language"));
    QStringList choices;
    for (const LanguageChoice& choice : LanguageChoices())
        choices << QString::fromUtf8(choice.text.data(), qsizetype(choice.text.size()));
    QCollator collator(UiLocale());
    std::sort(choices.begin(), choices.end(), collator);
    language_->addItems(choices);

    restartNote_ = new QLabel(UiQString(kRestartNote), this);
    restartNote_->setWordWrap(true);
    restartNote_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    restartNote_->setGeometry(metrics_.Scale(10), language_->geometry().bottom() + metrics_.Scale(6),
                              metrics_.Scale(180), metrics_.Scale(45));
    restartNote_->hide();
    connect(language_, &QComboBox::currentIndexChanged, this, &GeneralPage::UpdateRestartNote);
}

void GeneralPage::Load(const Settings& settings) {
    time_->setValue((settings.TimeBetweenShots - 400) / 200);
    int selected = -1;
    for (int i = 0; i < language_->count(); ++i) {
        if (LangIdOfChoice(language_->itemText(i).toStdString()) == settings.LangID) selected = i;
    }
    language_->setCurrentIndex(selected);
    UpdateRestartNote();
}

void GeneralPage::Save(Settings& settings) const {
    settings.TimeBetweenShots = 400 + 200 * time_->value();
    settings.LangID = LangIdOfChoice(language_->currentText().toStdString());
}

void GeneralPage::UpdateRestartNote() {
    // The texts of the running program stay in the language it started with.
    const std::uint16_t chosen = LangIdOfChoice(language_->currentText().toStdString());
    restartNote_->setVisible(ResolveUiLanguage(chosen, QLocale()) != ActiveUiLanguage());
}

// ---- Replay -----------------------------------------------------------------------------------

namespace {

constexpr int kBeforeLimit = 300;  // tenths of a second
constexpr int kAfterLimit = 100;
constexpr int kAccelerateAfterMs = 2000;
constexpr int kAcceleratedStep = 10;

}  // namespace

QString ReplayPage::TimeText(int tenths, const QString& separator) {
    return QString::asprintf("%d%s%ds", tenths / 10, separator.toUtf8().constData(), std::abs(tenths % 10));
}

ReplayPage::ReplayPage(const UiMetrics& metrics, QWidget* parent) : SettingsPage(metrics, parent) {
    AddLabel(kReplaySpeed, 10, 10, 160, 15);
    speed_ = AddSlider(9, 10, 28);
    speed_->setObjectName(QStringLiteral("replaySpeed"));
    auto* scale = new SvgPicture(kSpeedScale, this);
    scale->setGeometry(metrics_.Scale(10), metrics_.Scale(28) + kSliderHeight, kSliderWidth, kScaleHeight);

    const auto addTime = [this](int labelId, int y, int limit, QLabel*& readOut, UpDownControl*& control) {
        AddLabel(labelId, 10, y, 120, 15);
        readOut = AddReadOut(10, y + 15, 40, 18);
        control = new UpDownControl(this);
        control->SetRange(0, limit);
        control->SetInverted(true);  // the up arrow shortens the time
        control->SetAcceleration(kAccelerateAfterMs, kAcceleratedStep);
        Place(control, 50, y + 15, 20, 18);
        connect(control, &UpDownControl::valueChanged, readOut,
                [this, readOut](int position) { readOut->setText(TimeText(position, metrics_.decimalSeparator)); });
    };
    addTime(kReplayBefore, 75, kBeforeLimit, beforeText_, before_);
    addTime(kReplayAfter, 120, kAfterLimit, afterText_, after_);
    before_->setObjectName(QStringLiteral("replayBefore"));
    after_->setObjectName(QStringLiteral("replayAfter"));

    autoReplay_ = AddCheckBox(kAutoReplay, 10, 170, 160, 15);
    lineTrack_ = AddCheckBox(kLineTrace, 10, 185, 160, 15);
    phaseColours_ = AddCheckBox(kPhaseColours, 10, 200, 200, 15);
    phaseColours_->setObjectName(QStringLiteral("phaseColours"));
}

void ReplayPage::Load(const Settings& settings) {
    speed_->setValue((settings.ReplaySpeed - 10) / 10);
    // The read-outs show the stored time as it is; the arrows start from the nearest position.
    beforeText_->setText(TimeText(settings.ReplayTimeBefore / 100, metrics_.decimalSeparator));
    before_->SetValue(settings.ReplayTimeBefore / 100);
    afterText_->setText(TimeText(settings.ReplayTimeAfter / 100, metrics_.decimalSeparator));
    after_->SetValue(settings.ReplayTimeAfter / 100);
    autoReplay_->setChecked(settings.AutoReplay != 0);
    lineTrack_->setChecked(settings.LineTrack != 0);
    phaseColours_->setChecked(settings.ColourTraceByPhase != 0);
}

void ReplayPage::Save(Settings& settings) const {
    settings.ReplaySpeed = 10 * speed_->value() + 10;
    settings.ReplayTimeBefore = before_->Value() * 100;
    settings.ReplayTimeAfter = after_->Value() * 100;
    settings.AutoReplay = autoReplay_->isChecked() ? 1 : 0;
    settings.LineTrack = lineTrack_->isChecked() ? 1 : 0;
    settings.ColourTraceByPhase = phaseColours_->isChecked() ? 1 : 0;
}

}  // namespace zark
