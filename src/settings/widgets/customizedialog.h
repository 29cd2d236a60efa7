#pragma once

#include <array>

#include "window/modaldialog.h"
#include "settings/settings.h"
#include "settings/widgets/customizehooks.h"
#include "settings/widgets/uimetrics.h"

class QPushButton;
class QTabWidget;

namespace zark {

class GeneralPage;
class ReplayPage;
class SoundPage;
class ZarkPage;
class OptionsPage;
class RangePage;
class SettingsPage;

// The Customize dialog: five tabs ("General", "Replay", "Sound", "ZARK", "Options") over the
// settings. It opens on the tab that was shown last (CustomizePage); OK writes every page back into
// the settings, Cancel and the close box leave them as they were. The test buttons play sounds
// and probe the detector port while the dialog is open.
class CustomizeDialog final : public ModalDialog {
    Q_OBJECT

public:
    enum Tab { kGeneralTab, kReplayTab, kSoundTab, kZarkTab, kOptionsTab, kRangeTab, kTabCount };

    CustomizeDialog(QWidget* owner, Settings& settings, CustomizeContext context = {},
                    const UiMetrics& metrics = UiMetrics::Process());
    ~CustomizeDialog() override;

    void done(int code) override;

    QTabWidget* Tabs() const { return tabs_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }
    GeneralPage* General() const { return general_; }
    ReplayPage* Replay() const { return replay_; }
    SoundPage* Sound() const { return sound_; }
    ZarkPage* Zark() const { return zark_; }
    OptionsPage* Options() const { return options_; }
    RangePage* Range() const { return range_; }

private:
    void Accept();

    Settings& settings_;
    CustomizeContext context_;
    const UiMetrics& metrics_;
    QTabWidget* tabs_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    GeneralPage* general_ = nullptr;
    ReplayPage* replay_ = nullptr;
    SoundPage* sound_ = nullptr;
    ZarkPage* zark_ = nullptr;
    OptionsPage* options_ = nullptr;
    RangePage* range_ = nullptr;
    std::array<SettingsPage*, kTabCount> pages_{};
};

// Runs the dialog modally over owner: 2001 after OK (the settings hold the edited values), 2002
// after Cancel or the close box (the settings are unchanged, but for the tab to open with next).
int RunCustomizeDialog(QWidget* owner, Settings& settings, CustomizeContext context = {});

}  // namespace zark
