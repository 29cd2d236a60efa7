#pragma once

#include <QFrame>
#include <QPointer>
#include <QWidget>
#include <string>

#include "settings/settings.h"
#include "settings/widgets/customizehooks.h"
#include "settings/widgets/uimetrics.h"
#include "targets/bitmappicture.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSlider;
class QSpinBox;
class QThread;
class QToolButton;

namespace zark {

class UpDownControl;

// One page of the Customize dialog. Its controls sit at the page's layout positions, scaled by the
// metrics; Load shows a record and Save writes what the controls show back into one, field by
// field in the same order, so that Save after Load changes only values that were not on a
// control's grid.
class SettingsPage : public QWidget {
    Q_OBJECT

public:
    SettingsPage(const UiMetrics& metrics, QWidget* parent);

    virtual void Load(const Settings& settings) = 0;
    virtual void Save(Settings& settings) const = 0;

protected:
    // Places a control at a layout position; sizes marked fixed are not scaled.
    void Place(QWidget* control, int x, int y, int width, int height, bool fixedSize = false) const;
    QLabel* AddLabel(int textId, int x, int y, int width, int height);
    QLabel* AddReadOut(int x, int y, int width, int height);
    QSlider* AddSlider(int maximum, int x, int y);
    QCheckBox* AddCheckBox(int textId, int x, int y, int width, int height);
    QToolButton* AddTestButton(int iconId, int tooltipId, int x, int y);
    // A drop-down list; height is the height of its list when it is open.
    QComboBox* AddList(int x, int y, int width, int height);

    const UiMetrics& metrics_;
};

// General: minimum time between shots, language.
class GeneralPage final : public SettingsPage {
    Q_OBJECT

public:
    GeneralPage(const UiMetrics& metrics, QWidget* parent);
    void Load(const Settings& settings) override;
    void Save(Settings& settings) const override;

    QSlider* TimeSlider() const { return time_; }
    QComboBox* LanguageList() const { return language_; }
    QLabel* RestartNote() const { return restartNote_; }

private:
    void UpdateRestartNote();

    QSlider* time_ = nullptr;
    QComboBox* language_ = nullptr;
    QLabel* restartNote_ = nullptr;
};

// Replay: speed, time before and after the shot, automatic replay, line trace, trace by phase.
class ReplayPage final : public SettingsPage {
    Q_OBJECT

public:
    ReplayPage(const UiMetrics& metrics, QWidget* parent);
    void Load(const Settings& settings) override;
    void Save(Settings& settings) const override;

    // "%d%s%ds": whole seconds, the separator, tenths; tenths counts tenths of a second.
    static QString TimeText(int tenths, const QString& separator);

    QSlider* SpeedSlider() const { return speed_; }
    QLabel* BeforeReadOut() const { return beforeText_; }
    QLabel* AfterReadOut() const { return afterText_; }
    UpDownControl* BeforeControl() const { return before_; }
    UpDownControl* AfterControl() const { return after_; }
    QCheckBox* AutoReplay() const { return autoReplay_; }
    QCheckBox* LineTrace() const { return lineTrack_; }
    QCheckBox* PhaseColours() const { return phaseColours_; }

private:
    QSlider* speed_ = nullptr;
    QLabel* beforeText_ = nullptr;
    QLabel* afterText_ = nullptr;
    UpDownControl* before_ = nullptr;
    UpDownControl* after_ = nullptr;
    QCheckBox* autoReplay_ = nullptr;
    QCheckBox* lineTrack_ = nullptr;
    QCheckBox* phaseColours_ = nullptr;
};

// Sound: blind-shooting tone with its test sweep, shot sounds with their test buttons, spoken result.
class SoundPage final : public SettingsPage {
    Q_OBJECT

public:
    SoundPage(const UiMetrics& metrics, CustomizeSoundHooks* sound, QWidget* parent);
    void Load(const Settings& settings) override;
    void Save(Settings& settings) const override;

    // The index of a frequency in the table, -1 when it is not there.
    static int FrequencyIndex(int hz);

    QCheckBox* BlindShooting() const { return blind_; }
    QToolButton* SweepButton() const { return sweep_; }
    QLabel* CentreReadOut() const { return centreText_; }
    QLabel* PeripheralReadOut() const { return peripheralText_; }
    UpDownControl* CentreControl() const { return centre_; }
    UpDownControl* PeripheralControl() const { return peripheral_; }
    QComboBox* RifleList() const { return rifle_; }
    QComboBox* PistolList() const { return pistol_; }
    QToolButton* RifleTest() const { return rifleTest_; }
    QToolButton* PistolTest() const { return pistolTest_; }
    QCheckBox* TellResult() const { return tellResult_; }

private:
    void FillSoundList(QComboBox* list, const std::vector<std::string>& names);
    static void SelectSound(QComboBox* list, const std::string& name);
    void Sweep();

    CustomizeSoundHooks* sound_ = nullptr;
    QCheckBox* blind_ = nullptr;
    QToolButton* sweep_ = nullptr;
    QLabel* centreText_ = nullptr;
    QLabel* peripheralText_ = nullptr;
    UpDownControl* centre_ = nullptr;
    UpDownControl* peripheral_ = nullptr;
    QComboBox* rifle_ = nullptr;
    QComboBox* pistol_ = nullptr;
    QToolButton* rifleTest_ = nullptr;
    QToolButton* pistolTest_ = nullptr;
    QCheckBox* tellResult_ = nullptr;
};

// ZARK: the detector unit's port with its test, the detector distance.
class ZarkPage final : public SettingsPage {
    Q_OBJECT

public:
    ZarkPage(const UiMetrics& metrics, PortProber probe, QWidget* parent);
    ~ZarkPage() override;
    void Load(const Settings& settings) override;
    void Save(Settings& settings) const override;

    // Waits until a running probe has ended (it takes at most a few seconds).
    void FinishProbe();
    bool Probing() const { return probeThread_ != nullptr; }

    QComboBox* PortBox() const { return port_; }
    QToolButton* TestButton() const { return test_; }
    QLabel* ProbeStatus() const { return status_; }
    QSlider* DistanceSlider() const { return distance_; }

signals:
    // A probe has ended and its answer was shown.
    void probeFinished();

private:
    void StartProbe();
    void ShowProbeAnswer(const std::string& portName, const PortProbeAnswer& answer);

    PortProber probe_;
    QComboBox* port_ = nullptr;
    QToolButton* test_ = nullptr;
    QLabel* status_ = nullptr;
    QSlider* distance_ = nullptr;
    QThread* probeThread_ = nullptr;
};

// Shows a full-score picture centred on white, as the target view will show it; a picture that
// does not fit is not drawn, and one that cannot be loaded shows why.
class PicturePreview final : public QFrame {
    Q_OBJECT

public:
    explicit PicturePreview(QWidget* parent);
    // Loads the picture (an empty path shows nothing). Returns what BitmapPicture::Load returns.
    int Show(const QString& path);
    const BitmapPicture& Picture() const { return picture_; }
    // What the preview says instead of a picture, empty while it shows one or nothing.
    const QString& Message() const { return message_; }
    // What it says when no picture is chosen (where the pictures are looked for).
    void SetNote(const QString& note) { note_ = note; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    BitmapPicture picture_;
    QString message_;
    QString note_;
};

// Options: the picture shown at full score.
class OptionsPage final : public SettingsPage {
    Q_OBJECT

public:
    OptionsPage(const UiMetrics& metrics, QWidget* parent);
    void Load(const Settings& settings) override;
    void Save(Settings& settings) const override;

    QComboBox* PictureList() const { return pictures_; }
    PicturePreview* Preview() const { return preview_; }
    QCheckBox* CallShots() const { return callShots_; }

private:
    QString PathOf(int index) const;

    QString directory_;
    QComboBox* pictures_ = nullptr;
    PicturePreview* preview_ = nullptr;
    QCheckBox* callShots_ = nullptr;
};

// Range: this lane on the club's broker (off by default), and the broker and user a coach
// watches with. The password is never shown back: a stored one leaves the box empty with a hint,
// and an empty box keeps it.
class RangePage final : public SettingsPage {
    Q_OBJECT

public:
    RangePage(const UiMetrics& metrics, QWidget* parent);
    void Load(const Settings& settings) override;
    void Save(Settings& settings) const override;

    QCheckBox* Enabled() const { return enabled_; }
    QLineEdit* Host() const { return host_; }
    QSpinBox* Port() const { return port_; }
    QCheckBox* Tls() const { return tls_; }
    QLineEdit* CaFile() const { return caFile_; }
    QLineEdit* User() const { return user_; }
    QLineEdit* Password() const { return password_; }
    QLineEdit* RangeName() const { return range_; }
    QLineEdit* Lane() const { return lane_; }
    QLineEdit* Shooter() const { return shooter_; }
    QCheckBox* Obey() const { return obey_; }

private:
    QLineEdit* AddEdit(int labelId, int y, const char* name);
    void UpdateEnabled();

    QCheckBox* enabled_ = nullptr;
    QLineEdit* host_ = nullptr;
    QSpinBox* port_ = nullptr;
    QCheckBox* tls_ = nullptr;
    QLineEdit* caFile_ = nullptr;
    QLineEdit* user_ = nullptr;
    QLineEdit* password_ = nullptr;
    QLineEdit* range_ = nullptr;
    QLineEdit* lane_ = nullptr;
    QLineEdit* shooter_ = nullptr;
    QCheckBox* obey_ = nullptr;
    bool passwordStored_ = false;
};

}  // namespace zark
