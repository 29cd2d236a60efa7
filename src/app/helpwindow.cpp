#include "app/helpwindow.h"

#include <QFile>
#include <QLocale>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "app/appicons.h"
#include "app/framerules.h"
#include "i18n/uilanguage.h"
#include "i18n/uistrings.h"
#include "settings/registryaccess.h"

namespace zark {
namespace {
constexpr int kOpenFailedText = kUiTextOpenFailed;  // "Failed to open file %s"
}

HelpWindow::HelpWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("helpWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(ProgramIcon());
    browser_ = new QTextBrowser(this);
    browser_->setOpenExternalLinks(true);
    browser_->document()->setDocumentMargin(12);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(680, 600);
    connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
        const QString title = browser_->documentTitle();
        setWindowTitle(title.isEmpty() ? QStringLiteral("ZARK") : title);
    });
}

QUrl HelpWindow::UrlOf(const QString& fileName) {
    QUrl url;
    url.setScheme(QStringLiteral("qrc"));
    url.setPath(QStringLiteral("/zark/help/") + fileName);
    return url;
}

void HelpWindow::ShowFile(const QString& fileName) {
    fileName_ = fileName;
    found_ = QFile::exists(QStringLiteral(":/zark/help/") + fileName);
    if (found_) {
        browser_->setSource(UrlOf(fileName));
        return;
    }
    LoadUiStrings();
    QString message = UiQString(kOpenFailedText);
    message.replace(QStringLiteral("%s"), fileName);
    browser_->setPlainText(message);
    setWindowTitle(QStringLiteral("ZARK"));
}

HelpWindow* HelpTopics::Show() {
    std::uint16_t langId = kLangIdDefault;
    {
        RegistryAccess registry;  // a missing value is logged and leaves the user's own language
        registry.readShort("LangID", langId);
    }
    const QString fileName = QString::fromStdString(HelpFileName(langId, QLocale()));
    if (!window_) window_ = new HelpWindow(owner_);
    window_->ShowFile(fileName);
    window_->show();
    window_->raise();
    window_->activateWindow();
    return window_;
}

}  // namespace zark
