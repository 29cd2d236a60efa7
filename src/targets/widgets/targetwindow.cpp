#include "targets/widgets/targetwindow.h"

#include <QButtonGroup>
#include <QFontMetrics>
#include <QRadioButton>
#include <QTimer>

#include "core/shootinghub.h"
#include "i18n/uistrings.h"
#include "core/linkwindow.h"
#include "link/serialworker.h"
#include "targets/targetdescriptor.h"
#include "targets/widgets/targetview.h"

namespace zark {
namespace {
constexpr int kButtonTexts[3] = {135, 137, 136};  // "Left", "Moving Range", "Right"
constexpr int kButtonPadding = 16;
}  // namespace

void TargetWindow::LinkArm::RequestAdjustment(int x, int y) {
    last = LeadOffset{x, y};
    ++requests;
    if (window_.link_) window_.link_->RequestAdjustment(x, y);
}

void TargetWindow::FrameRelay::Notify(const Notification& n) {
    window_.ScheduleButtonSync();
    frame_.Notify(n);
}

TargetWindow::TargetWindow(HubView& hub, NotificationSink& mainFrame, QWidget* parent, ExtraViewFactory audioView,
                           SerialWorker* worker, TimerFactory* timers)
    : QWidget(parent), hub_(hub), timers_(timers ? *timers : qtTimers_), frameRelay_(*this, mainFrame) {
    setObjectName(QStringLiteral("targetWindow"));
    setMinimumSize(kMinWidth, kMinHeight);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    colours.setColor(QPalette::WindowText, Qt::black);
    colours.setColor(QPalette::Button, Qt::white);
    colours.setColor(QPalette::ButtonText, Qt::black);
    setPalette(colours);

    // On the hub in this order: the drawing view, the audio view, the link window.
    view_ = new TargetView(&hub_, rules_, timers_, this);
    if (audioView) audioView_ = audioView(hub_, *this);
    link_ = worker ? std::make_unique<cTargetComm>(&hub_, *worker) : std::make_unique<cTargetComm>(&hub_);
    link_->SetScaleSource([](const TargetDescriptor* face) {
        return face ? std::int32_t(face->DetectorScale()) : cTargetComm::kDefaultScale;
    });
    run_ = std::make_unique<TargetRun>(*view_, linkArm_, frameRelay_, rules_, timers_);
    view_->SetNotificationTarget(run_.get());
    view_->SetRunStateHandler([this] { ScheduleButtonSync(); });
    link_->Create(run_.get());

    LoadUiStrings();
    auto* group = new QButtonGroup(this);
    for (int id = 0; id < 3; ++id) {
        auto* button = new QRadioButton(UiQString(kButtonTexts[id]), this);
        button->setObjectName(QStringLiteral("targetButton%1").arg(id));
        button->setAutoFillBackground(true);
        group->addButton(button, id);
        buttons_[id] = button;
        button->hide();
    }
    buttons_[0]->setChecked(true);
    connect(group, &QButtonGroup::idClicked, this, [this](int id) {
        if (id == 0) run_->ChooseLeft();
        if (id == 1) run_->ChooseMovingRange();
        if (id == 2) run_->ChooseRight();
    });

    // The series logic changes the buttons' state in several steps; they follow once it is done.
    buttonSync_ = new QTimer(this);
    buttonSync_->setSingleShot(true);
    buttonSync_->setInterval(0);
    connect(buttonSync_, &QTimer::timeout, this, &TargetWindow::SyncButtons);
    LayOut();
}

TargetWindow::~TargetWindow() {
    // The link first (it shuts the serial worker down), then the series logic, then the views.
    view_->SetNotificationTarget(nullptr);
    view_->SetRunStateHandler({});
    link_.reset();
    run_.reset();
    audioView_.reset();
    delete view_;
    view_ = nullptr;
}

QRadioButton* TargetWindow::Button(int id) const { return id >= 0 && id < 3 ? buttons_[id] : nullptr; }

bool TargetWindow::ButtonsVisible() const {
    const TargetDescriptor* face = view_->CurrentTarget();
    return face && (face->Kind() & KindHunt);
}

void TargetWindow::LayOut() {
    const int w = width();
    const int h = height();
    if (ButtonsVisible()) {
        view_->setGeometry(0, 0, w, std::max(0, h - kButtonBand));
        const int third = w / 3;
        // from left to right: "Left", "Moving Range", "Right"
        const int order[3] = {0, 1, 2};
        for (int slot = 0; slot < 3; ++slot) {
            QRadioButton* button = buttons_[order[slot]];
            const int textWidth = QFontMetrics(button->font()).horizontalAdvance(button->text());
            // The text width and a margin for the indicator; never narrower than the button
            // needs to show its whole text with this style's indicator.
            const int bw = std::max(textWidth + kButtonPadding, button->sizeHint().width());
            button->setGeometry(slot * third + (third - bw) / 2, h - kButtonBand, bw, kButtonBand);
            button->show();
        }
    } else {
        for (QRadioButton* button : buttons_) button->hide();
        view_->setGeometry(0, 0, w, h);
    }
    view_->update();
}

void TargetWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
}

void TargetWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    LayOut();
}

void TargetWindow::ChooseTarget(const TargetDescriptor* first, const TargetDescriptor* second) {
    hub_.SetTargets(first, second);  // a new face starts at its left side
    // A face without moving targets hides the hunting buttons, so moving range ends with the face
    // that had them: otherwise no shot would count until a run that never comes.
    if (!ButtonsVisible()) run_->ChooseLeft();
    SyncButtons();
    LayOut();
}

void TargetWindow::SetShotPeriod(int ms) { run_->SetShotPeriod(ms); }

void TargetWindow::SetSettings(const Settings* settings) { run_->SetSettings(settings); }

void TargetWindow::SetSessionPort(const std::string& configured, const std::string& chosen) {
    link_->SetSessionPort(configured, chosen);
}

int TargetWindow::StartRun(int seriesShots, int sighterSeries, int alternate) {
    const int result = run_->StartRun(seriesShots, sighterSeries, alternate);
    SyncButtons();
    return result;
}

int TargetWindow::Unlock() {
    const int result = run_->Unlock();
    SyncButtons();
    return result;
}

int TargetWindow::Relock() {
    const int result = run_->Relock();
    SyncButtons();
    return result;
}

void TargetWindow::ApplyLeadOffset() { run_->ApplyLeadOffset(); }

void TargetWindow::ScheduleButtonSync() {
    if (buttonSync_) buttonSync_->start();
}

void TargetWindow::SyncButtons() {
    const bool enabled = run_->ButtonsEnabled();
    for (QRadioButton* button : buttons_) button->setEnabled(enabled);
    // The buttons show what is in use: moving range, or the side the view shows.
    buttons_[run_->movingRange() ? 1 : view_->side() ? 2 : 0]->setChecked(true);
}

}  // namespace zark
