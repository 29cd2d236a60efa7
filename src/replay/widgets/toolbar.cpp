#include "replay/widgets/toolbar.h"

#include <QAction>
#include <QActionGroup>
#include <QIcon>
#include <QLabel>
#include <QToolBar>
#include <array>

#include "window/commandtable.h"
#include "i18n/uistrings.h"
#include "window/updowncontrol.h"
#include "settings/settings.h"

namespace zark {
namespace {

// The pictures in image order, as ":/zark/toolbar/<name>.svg".
constexpr std::array<const char*, Toolbar::kImageCount> kImageNames = {
    "00-open",   "01-save",     "02-print",   "03-play",    "04-stop",     "05-rewind",     "06-reverse",
    "07-forward", "08-end",     "09-rearrange", "10-diagram", "11-pause", "12-continue", "13-newserie",
    "14-centre", "15-zoomin",   "16-zoomout", "17-clearpitch", "18-autosave", "19-delete"};

constexpr int kPitchTooltip = 164;  // "Pitch"

// The state columns of the command table are the states of the series flow, in their order (the
// menu bar indexes them the same way).
static_assert(int(ShootingState::TargetShown) == kTargetShownColumn &&
              int(ShootingState::Shooting) == kShootingColumn && int(ShootingState::Paused) == kPausedColumn &&
              int(ShootingState::Idle) == kIdleColumn);

bool IsReplayButton(const CommandRow& row) {
    return row.button.place > 0 && row.button.style == ButtonStyle::ReplayGroup;
}

}  // namespace

QIcon Toolbar::Image(int image) {
    if (image < 0 || image >= kImageCount) return {};
    return QIcon(QStringLiteral(":/zark/toolbar/%1.svg").arg(QLatin1String(kImageNames[std::size_t(image)])));
}

void Toolbar::CreateToolbar(QToolBar* bar, std::function<void(int)> onCommand, TextSource texts) {
    bar_ = bar;
    onCommand_ = std::move(onCommand);
    texts_ = std::move(texts);
    if (!texts_) {
        LoadUiStrings();
        texts_ = [](int id) { return UiQString(id); };
    }
    bar->setIconSize(QSize(16, 15));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    replayGroup_ = new QActionGroup(this);
    replayGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);

    // The buttons from the command table, left to right; a place no button takes is a separator.
    std::map<int, const CommandRow*> places;
    for (const CommandRow& row : CommandTable())
        if (row.button.place > 0) places[row.button.place] = &row;
    const int last = places.empty() ? 0 : places.rbegin()->first;
    for (int place = 1; place <= last; ++place) {
        const auto it = places.find(place);
        if (it == places.end()) {
            bar->addSeparator();
            continue;
        }
        const CommandRow& row = *it->second;
        QAction* action = AddButton(row.id, row.button.image, row.button.tooltip, row.button.atFirst != G,
                                    row.button.style != ButtonStyle::Push);
        if (IsReplayButton(row)) replayGroup_->addAction(action);
    }

    // The replay bar: the read-out and the up-down control, with one tooltip, "Pitch".
    readOut_ = new QLabel(bar);
    readOut_->setObjectName(QStringLiteral("pitchReadOut"));
    readOut_->setFixedSize(40, 20);
    readOut_->setAlignment(Qt::AlignCenter);
    readOut_->setAutoFillBackground(true);
    QPalette white = readOut_->palette();
    white.setColor(QPalette::Window, Qt::white);
    readOut_->setPalette(white);
    upDown_ = new UpDownControl(bar);
    upDown_->setObjectName(QStringLiteral("pitchUpDown"));
    upDown_->setFixedSize(20, 20);
    upDown_->SetRange(-75, 75);
    for (QWidget* w : {static_cast<QWidget*>(readOut_), static_cast<QWidget*>(upDown_)})
        w->setToolTip(texts_(kPitchTooltip));
    bar->addWidget(readOut_);
    bar->addWidget(upDown_);
    connect(upDown_, &UpDownControl::valueChanged, this, &Toolbar::OnOffsetChanged);
    readOut_->setEnabled(false);
    upDown_->setEnabled(false);
    ResetOffset();
}

QAction* Toolbar::AddButton(int command, int image, int tooltipId, bool enabled, bool checkable) {
    const QString text = texts_(tooltipId);
    QAction* action = bar_->addAction(Image(image), text);
    action->setToolTip(text);
    action->setData(command);
    action->setObjectName(QStringLiteral("toolbutton%1").arg(command));
    action->setCheckable(checkable);
    action->setEnabled(enabled);
    connect(action, &QAction::triggered, this, [this, command] {
        if (onCommand_) onCommand_(command);
    });
    buttons_[command] = action;
    images_[command] = image;
    return action;
}

void Toolbar::AttachSettings(const Settings* settings) {
    settings_ = settings;
    const int step = TimeStepOf(settings);
    if (upDown_) upDown_->SetRange(-3 * step, 3 * step);
}

int Toolbar::ShotTimeOffsetMs() const {
    const int step = TimeStepOf(settings_);
    return offsetSteps_ * step;
}

void Toolbar::ResetOffset() {
    offsetSteps_ = 0;
    if (upDown_) upDown_->SetValue(0);
    if (readOut_) readOut_->setText(QStringLiteral("0.0s"));
}

void Toolbar::OnOffsetChanged(int steps) {
    offsetSteps_ = steps;
    ShowOffset();
    if (onCommand_) onCommand_(kCmdPitch);
}

void Toolbar::ShowOffset() {
    // Always with a point: a time, like the shot list's.
    if (readOut_) readOut_->setText(QString::asprintf("%.2fs", ShotTimeOffsetMs() * 0.001));
}

QAction* Toolbar::Button(int command) const {
    const auto it = buttons_.find(command);
    return it == buttons_.end() ? nullptr : it->second;
}

bool Toolbar::IsEnabled(int command) const {
    const QAction* action = Button(command);
    return action && action->isEnabled();
}

bool Toolbar::IsChecked(int command) const {
    const QAction* action = Button(command);
    return action && action->isChecked();
}

int Toolbar::ButtonImage(int command) const {
    const auto it = images_.find(command);
    return it == images_.end() ? -1 : it->second;
}

void Toolbar::EnableButton(int command, bool on) {
    if (QAction* action = Button(command)) action->setEnabled(on);
}

void Toolbar::CheckButton(int command, bool on) {
    if (QAction* action = Button(command)) action->setChecked(on);
}

void Toolbar::SetButtonImage(int command, int image) {
    if (QAction* action = Button(command)) {
        action->setIcon(Image(image));
        images_[command] = image;
    }
}

void Toolbar::ReleaseReplayButtons() {
    for (const CommandRow& row : CommandTable())
        if (IsReplayButton(row)) CheckButton(row.id, false);
}

void Toolbar::SetState(ShootingState state) {
    for (const CommandRow& row : CommandTable()) {
        const Cell cell = row.buttonStates[std::size_t(state)];
        if (row.button.place > 0 && cell != U) EnableButton(row.id, cell != G);
    }
    SetButtonImage(kCmdPauseContinue, state == ShootingState::Shooting ? kImagePause : kImageContinue);
    const bool reviewing = state == ShootingState::Idle || state == ShootingState::Paused;
    if (readOut_) readOut_->setEnabled(reviewing);
    if (upDown_) upDown_->setEnabled(reviewing);
    if (state == ShootingState::Shooting || state == ShootingState::Paused) ResetOffset();
    ReleaseReplayButtons();
}

void Toolbar::FileLoaded() { EnableButton(kCmdSave, true); }

}  // namespace zark
