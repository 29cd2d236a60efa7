#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "app/timeddialog.h"
#include "core/timedrun.h"

namespace zark {

class SoundPlayer;

// Over the target window while a timed series runs: a coloured frame (red while waiting, green
// while a window is open) and a large countdown with the phase's word. Transparent to the mouse;
// it follows the size of the window it covers.
class TimedOverlay final : public QWidget {
    Q_OBJECT
public:
    explicit TimedOverlay(QWidget* covered);
    void SetClock(TimedPhase phase, std::int32_t remainingMs, bool hideCount);
    TimedPhase Phase() const { return phase_; }
    // What it shows: the phase's word and the seconds left (empty while they are kept secret).
    QString Word() const;
    QString Count() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    TimedPhase phase_ = TimedPhase::Idle;
    std::int32_t seconds_ = 0;
    bool hideCount_ = false;
};

// The main frame's part of the timed series: the dialog and its remembered choice, the run on the
// hub, the overlay on the target window, the signals through the sound player, the calls the
// simulated unit's shooter hears, and the time between shots the unit is told (unitShotPeriod:
// the drill's own while a timed series runs, 0 for the setting again).
class FrameTimed final : public TimedListener {
public:
    using ShotPeriodSink = std::function<void(std::int32_t ms)>;
    FrameTimed(HubView& hub, QWidget* targetWindow, SoundPlayer* sounds, ShotPeriodSink unitShotPeriod = {});
    ~FrameTimed() override;

    // Shoot > Timed Series...: true when a drill was chosen (and remembered). Unattended runs take
    // the drill remembered last without asking.
    bool Choose(QWidget* parent);
    void AskForTheDrill(bool ask) { ask_ = ask; }
    bool Asks() const { return ask_; }
    const TimedDrill& Drill() const { return drill_; }
    // A timed series is about to start: the unit is told the drill's time between shots in its
    // first setup block. End (or Begin's End) gives the setting back.
    void Prepare();
    // The series was started: its clock begins.
    void Begin();
    void Pause();
    void Resume();
    void End();
    bool Active() const { return run_.Active(); }
    const TimedRun& Run() const { return run_; }
    TimedOverlay* Overlay() const { return overlay_; }

    void OnTimedSignal(const TimedEvent& event) override;
    void OnTimedClock(TimedPhase phase, std::int32_t remainingMs, std::int32_t window) override;

private:
    TimedRun run_;
    SoundPlayer* sounds_;
    TimedOverlay* overlay_ = nullptr;  // owned by the target window
    TimedDrill drill_;
    ShotPeriodSink unitShotPeriod_;
    bool sayAttention_ = true;
    bool ask_ = true;
};

}  // namespace zark
