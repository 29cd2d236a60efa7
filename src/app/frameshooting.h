#pragma once

namespace zark {

class MainFrame;

// The main frame's shooting commands: sighters, series, match and timed series, pause and
// continue, new serie and centring; the replay buttons, the pitch and a shot chosen by its mark.
class FrameShooting final {
public:
    explicit FrameShooting(MainFrame& frame) : frame_(frame) {}

    // A Shoot menu command, F3, F10 or centring; the toolbar's centring button follows the mark
    // whether or not the command was carried out.
    void Shoot(int command);
    // Choosing a target and the commands that start a series give up the series shown: one with
    // fired shots that is paused or unfinished is not dropped without asking. Pause/Continue,
    // centring and F10 after the sighters of a match (which repeats them) keep it.
    bool MaySetSeriesAside(int command);

    // Play and the replay buttons (never while a series is being shot).
    void Replay(int command);
    // A click on a shot mark chooses its shot as a click on its row of the series list does.
    void ChooseShot(int k);
    // The pitch read-out's offset becomes the store's shot time offset; Clear Pitch sets it to 0.
    void ApplyShotTimeOffset();
    void ClearPitch();

private:
    void StartOrResume(int command);

    MainFrame& frame_;
    bool timedKind_ = false;  // the last series started was a timed one (F10 repeats it)
};

}  // namespace zark
