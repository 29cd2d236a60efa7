#pragma once

#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWidget>

class QTextBrowser;

namespace zark {

// The help window: one help file of the program's resources, with its links, in a window of its
// own beside the main window.
class HelpWindow final : public QWidget {
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* owner = nullptr);

    // Shows the help file of this name; a file the program does not have is reported in the window.
    void ShowFile(const QString& fileName);
    const QString& FileName() const { return fileName_; }
    bool FileFound() const { return found_; }
    QTextBrowser* Browser() const { return browser_; }

    // Where the help files are kept.
    static QUrl UrlOf(const QString& fileName);

private:
    QTextBrowser* browser_ = nullptr;
    QString fileName_;
    bool found_ = false;
};

// "Help Topics": opens the help file of the "LangID" setting as it is stored now.
class HelpTopics final {
public:
    void SetOwner(QWidget* owner) { owner_ = owner; }
    // Opens (or brings forward) the help window with the file; returns the window.
    HelpWindow* Show();
    HelpWindow* Window() const { return window_; }

private:
    QPointer<QWidget> owner_;
    QPointer<HelpWindow> window_;
};

}  // namespace zark
