#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <map>

#include "core/seriesflow.h"

class QAction;
class QActionGroup;
class QLabel;
class QToolBar;

namespace zark {

struct Settings;
class UpDownControl;

// The main window's toolbar: the file, view, series and replay buttons, each sending its command
// number, and at the right end the replay bar, a read-out of the shot time offset ("Pitch") with
// an up-down control that shifts the shot positions along the trace. The main frame switches the
// buttons between the four states of the series flow.
class Toolbar final : public QObject {
    Q_OBJECT

public:
    static constexpr int kImageCount = 20;
    static constexpr int kImagePause = 11;
    static constexpr int kImageContinue = 12;

    // The text of a string id; the loaded texts of the chosen language unless another is given.
    using TextSource = std::function<QString(int)>;

    // Fills bar with the buttons and the replay bar; every button sends its command to onCommand,
    // the up-down control sends 2190. Clear Pitch, the read-out and the up-down control start
    // disabled, the offset at 0. The tooltips are the texts of texts.
    void CreateToolbar(QToolBar* bar, std::function<void(int)> onCommand, TextSource texts = {});
    // The up-down range follows the time step: ±3 × UnitTimeStep steps.
    void AttachSettings(const Settings* settings);

    int ShotTimeOffsetMs() const;
    int OffsetSteps() const { return offsetSteps_; }
    void ResetOffset();

    void EnableButton(int command, bool on);
    void CheckButton(int command, bool on);
    void SetButtonImage(int command, int image);
    void ReleaseReplayButtons();
    // The button states of the series flow (each also releases the replay buttons), and the step
    // after a file is opened (Save enabled).
    void SetState(ShootingState state);
    void FileLoaded();

    // For the tests and the main frame.
    QAction* Button(int command) const;
    bool IsEnabled(int command) const;
    bool IsChecked(int command) const;
    int ButtonImage(int command) const;
    QLabel* ReadOut() const { return readOut_; }
    UpDownControl* UpDown() const { return upDown_; }
    QToolBar* Bar() const { return bar_; }

    // The picture of toolbar image i (0..19), drawn from its SVG source at the bar's size.
    static QIcon Image(int image);

private:
    QAction* AddButton(int command, int image, int tooltipId, bool enabled, bool checkable);
    void OnOffsetChanged(int steps);
    void ShowOffset();

    QToolBar* bar_ = nullptr;
    std::function<void(int)> onCommand_;
    TextSource texts_;
    std::map<int, QAction*> buttons_;
    std::map<int, int> images_;
    QActionGroup* replayGroup_ = nullptr;
    QLabel* readOut_ = nullptr;
    UpDownControl* upDown_ = nullptr;
    const Settings* settings_ = nullptr;
    int offsetSteps_ = 0;
};

}  // namespace zark
