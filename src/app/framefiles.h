#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

#include "app/noticebanner.h"
#include "storage/filecommands.h"

namespace zark {

class FrameJournal;
class MainFrame;
struct Settings;

// The main frame's file commands: Open (menu, Ctrl+O, the command line, a file dropped on the
// window), Save (Ctrl+S), the automatic saves at the end of a series or match, and Delete. It
// applies an opened series or match to the hub, the series flow, the menus and the caption, and
// tells the shooter in the main window when an automatic save failed.
class FrameFiles final : public QObject {
    Q_OBJECT

public:
    explicit FrameFiles(MainFrame& frame);
    ~FrameFiles() override;

    // At start-up: makes DataDirectory; when that fails the setting becomes empty and the files
    // go to the per-user folder.
    void PrepareDataDirectory(Settings& settings);

    // Opens path (asking with the open dialog when it is empty) and shows what it holds. Returns 1
    // when a series or match is now shown; 0 on Cancel, while a series is being shot, or when the
    // file cannot be read or names an unknown target, which leaves everything as it was.
    int Open(const QString& path);
    // Saves the series, or in match mode the match, under a name chosen in the save dialog.
    void Save();
    // Before the series shown is given up (another target, a file opened, a new series): a paused
    // or unfinished series, or match, with fired shots is not dropped without asking "Discard the
    // series shot so far?". Save saves it as Save does (a match with the series under way). True:
    // go on (nothing to lose, Discard, or saved); false: Cancel, or the save did not happen.
    bool MaySetSeriesAside();
    // A series or match with fired shots is under way: giving it up now would lose them.
    bool SeriesWouldBeLost() const;

    // Starts keeping the journal of every series shot from now on, after writing what earlier runs
    // left in theirs into files (the program does this at start-up).
    void StartJournal();
    FrameJournal* Journal() const { return journal_.get(); }
    // The automatic save at the end of a series or match.
    void SaveAutomatically(bool match);
    void Delete();

    FileCommands& Commands() { return files_; }
    NoticeBanner* Banner() const { return banner_; }
    // Called after every save that wrote a file (Save and the automatic saves).
    std::function<void()> onSaved;

protected:
    // Files dropped on the main window.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool CommandAvailable(int command) const;
    bool SaveWithDialog();
    void SeriesKept();
    bool ApplySeries(const QString& path);
    bool ApplyMatch(const QString& path);
    void ShowOpenedStore(const TraceImage& image);
    QString ChooseSavePath(bool match);
    void RegisterFileTypes();

    MainFrame& frame_;
    FileCommands files_;
    QPointer<NoticeBanner> banner_;
    std::unique_ptr<FrameJournal> journal_;
};

}  // namespace zark
