#include "settings/widgets/customizedialog.h"

#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <algorithm>

#include "window/dialogunits.h"
#include "i18n/uistrings.h"
#include "settings/widgets/customizetexts.h"
#include "settings/widgets/settingspages.h"

namespace zark {

using namespace customize_text;

namespace {

// The dialog's template, in dialog units.
constexpr int kDialogWidth = 175;
constexpr int kDialogHeight = 210;
constexpr int kButtonY = 190;
constexpr int kOkX = 32;
constexpr int kCancelX = 98;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;

}  // namespace

CustomizeDialog::CustomizeDialog(QWidget* owner, Settings& settings, CustomizeContext context, const UiMetrics& metrics)
    : ModalDialog(owner), settings_(settings), context_(std::move(context)), metrics_(metrics) {
    LoadUiStrings();
    setObjectName(QStringLiteral("customizeDialog"));
    setWindowTitle(UiQString(kCaption));
    setFont(metrics_.dialogFont);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("tabs"));
    tabs_->tabBar()->setUsesScrollButtons(false);
    general_ = new GeneralPage(metrics_, tabs_);
    replay_ = new ReplayPage(metrics_, tabs_);
    sound_ = new SoundPage(metrics_, context_.sound, tabs_);
    zark_ = new ZarkPage(metrics_, context_.probe, tabs_);
    options_ = new OptionsPage(metrics_, tabs_);
    range_ = new RangePage(metrics_, tabs_);
    pages_ = {general_, replay_, sound_, zark_, options_, range_};
    const int tabTexts[kTabCount] = {kGeneral, kReplay, kSound, kZark, kOptions, kRange};
    for (int i = 0; i < kTabCount; ++i) tabs_->addTab(pages_[std::size_t(i)], UiQString(tabTexts[i]));

    // The tab control's place; wide enough for every tab in every language.
    QRect tabRect = metrics_.ScaledRect(5, 5, 250, 300);
    tabRect.setWidth(std::max(tabRect.width(), tabs_->tabBar()->sizeHint().width() + 4));
    tabs_->setGeometry(tabRect);

    const DialogUnits units(metrics_.dialogFont);
    const QRect okRect = units.Rect(kOkX, kButtonY, kButtonWidth, kButtonHeight);
    const QRect cancelRect = units.Rect(kCancelX, kButtonY, kButtonWidth, kButtonHeight);
    // The buttons stay below the tab control however its size and the font's came out.
    const int buttonY = std::max(okRect.top(), tabRect.bottom() + metrics_.Scale(5));
    ok_ = new QPushButton(UiQString(kOk), this);
    ok_->setObjectName(QStringLiteral("ok"));
    ok_->setGeometry(okRect.left(), buttonY, okRect.width(), std::max(okRect.height(), ok_->sizeHint().height()));
    ok_->setDefault(true);
    cancel_ = new QPushButton(UiQString(kCancel), this);
    cancel_->setObjectName(QStringLiteral("cancel"));
    cancel_->setGeometry(cancelRect.left(), buttonY, cancelRect.width(), ok_->height());
    const QSize templateSize(units.X(kDialogWidth), units.Y(kDialogHeight));
    setFixedSize(std::max(templateSize.width(), tabRect.right() + 1 + tabRect.left()),
                 std::max(templateSize.height(), buttonY + ok_->height() + units.Y(6)));

    for (SettingsPage* page : pages_) page->Load(settings_);
    tabs_->setCurrentIndex(std::clamp(settings_.CustomizePage, 0, kTabCount - 1));
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) { settings_.CustomizePage = index; });
    connect(ok_, &QPushButton::clicked, this, &CustomizeDialog::Accept);
    connect(cancel_, &QPushButton::clicked, this, [this] { End(kDialogCancel); });
}

CustomizeDialog::~CustomizeDialog() = default;

void CustomizeDialog::Accept() {
    Settings edited = settings_;
    for (const SettingsPage* page : pages_) page->Save(edited);
    settings_ = edited;
    End(kDialogOk);
}

void CustomizeDialog::done(int code) {
    // Nothing the dialog started outlives it: a test sound stops, a probe is waited for.
    if (context_.sound) context_.sound->StopSound();
    zark_->FinishProbe();
    ModalDialog::done(code);
}

int RunCustomizeDialog(QWidget* owner, Settings& settings, CustomizeContext context) {
    CustomizeDialog dialog(owner, settings, std::move(context));
    return dialog.Run();
}

}  // namespace zark
