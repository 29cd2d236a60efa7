#include "app/frametimed.h"

#include <QEvent>
#include <QPainter>
#include <random>

#include "audio/soundplayer.h"
#include "audio/timedsignals.h"
#include "i18n/uistrings.h"
#include "link/rangecall.h"
#include "settings/settings.h"

namespace zark {

TimedOverlay::TimedOverlay(QWidget* covered) : QWidget(covered) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    covered->installEventFilter(this);
    setGeometry(covered->rect());
    hide();
}

bool TimedOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
    return false;
}

void TimedOverlay::SetClock(TimedPhase phase, std::int32_t remainingMs, bool hideCount) {
    const std::int32_t seconds = (remainingMs + 999) / 1000;
    if (phase == phase_ && seconds == seconds_ && hideCount == hideCount_) return;
    phase_ = phase;
    seconds_ = seconds;
    hideCount_ = hideCount;
    const bool shown = phase != TimedPhase::Idle && phase != TimedPhase::Done;
    if (shown) {
        raise();
        show();
        update();
    } else {
        hide();
    }
}

QString TimedOverlay::Word() const {
    switch (phase_) {
    case TimedPhase::Load: return UiQString(538);
    case TimedPhase::Attention: return UiQString(539);
    case TimedPhase::Open: return UiQString(540);
    case TimedPhase::Pause: return UiQString(541);
    case TimedPhase::Paused: return UiQString(129).section('\t', 0, 0).remove('&');
    default: return {};
    }
}

QString TimedOverlay::Count() const {
    if (hideCount_ || phase_ == TimedPhase::Paused || phase_ == TimedPhase::Idle || phase_ == TimedPhase::Done) return {};
    return QString::number(seconds_);
}

void TimedOverlay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor colour = phase_ == TimedPhase::Open ? QColor(0, 170, 0) : QColor(210, 0, 0);
    const int border = std::max(6, std::min(width(), height()) / 40);
    QPen pen(colour, border);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(border / 2, border / 2, -(border + 1) / 2, -(border + 1) / 2));

    const QString count = Count();
    const QString text = count.isEmpty() ? Word() : Word() + "  " + count;
    QFont font(QStringLiteral("Liberation Sans"));
    font.setBold(true);
    font.setPixelSize(std::max(18, height() / 9));
    painter.setFont(font);
    const QRect box = painter.fontMetrics().boundingRect(text).adjusted(-12, -6, 12, 6);
    const QRect placed(QPoint((width() - box.width()) / 2, border + 8), box.size());
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 150));
    painter.drawRoundedRect(placed, 8, 8);
    painter.setPen(colour.lighter(150));
    painter.drawText(placed, Qt::AlignCenter, text);
}

FrameTimed::FrameTimed(HubView& hub, QWidget* targetWindow, SoundPlayer* sounds, ShotPeriodSink unitShotPeriod)
    : run_(&hub, *this),
      sounds_(sounds),
      overlay_(targetWindow ? new TimedOverlay(targetWindow) : nullptr),
      unitShotPeriod_(std::move(unitShotPeriod)) {
    const TimedChoice choice = LoadTimedChoice();
    drill_ = choice.Drill();
    sayAttention_ = choice.sayAttention;
}

FrameTimed::~FrameTimed() {
    CallTheRange({});  // no timed series is left to follow
}

bool FrameTimed::Choose(QWidget* parent) {
    TimedChoice choice = LoadTimedChoice();
    if (ask_) {
        TimedDialog dialog(choice, parent);
        if (dialog.exec() != QDialog::Accepted) return false;
        choice = dialog.Choice();
        SaveTimedChoice(choice);
    }
    drill_ = choice.Drill();
    sayAttention_ = choice.sayAttention;
    return true;
}

void FrameTimed::Prepare() {
    const Settings* settings = run_.settings();
    if (unitShotPeriod_) unitShotPeriod_(UnitShotPeriodMs(drill_, settings ? settings->TimeBetweenShots : 1600));
}

void FrameTimed::Begin() {
    // the opening's signal goes out ahead by what the sound device holds, so it is heard as the window opens
    run_.SetSignalLead(sounds_ ? sounds_->LatencyMs() : 0);
    run_.Begin(drill_, std::random_device{}());
}
void FrameTimed::Pause() { run_.Pause(); }
void FrameTimed::Resume() { run_.Resume(); }
void FrameTimed::End() {
    run_.End();
    if (unitShotPeriod_) unitShotPeriod_(0);
}

void FrameTimed::OnTimedSignal(const TimedEvent& event) {
    // played the moment the sample clock reaches it: the clip starts sounding at once
    if (!sounds_) return;
    if (SoundPtr clip = TimedSignalClip(event.signal)) sounds_->PlayClip(std::move(clip));
    if (event.signal == TimedSignal::Attention && sayAttention_)
        if (SoundPtr word = SpokenAttention(ActiveUiLanguage())) sounds_->PlayClip(std::move(word));
}

void FrameTimed::OnTimedClock(TimedPhase phase, std::int32_t remainingMs, std::int32_t) {
    // with a random start the time to the opening is the shooter's secret
    const bool secret = run_.Sequence().Drill().randomStart && (phase == TimedPhase::Attention || phase == TimedPhase::Pause);
    if (overlay_) overlay_->SetClock(phase, remainingMs, secret);
    // the simulated unit's shooter hears the range as a shooter on the line would
    CallTheRange(CallOf(run_.Sequence()));
}

}  // namespace zark
