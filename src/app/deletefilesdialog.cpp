#include "app/deletefilesdialog.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>

#include "diag/diagnostics.h"
#include "i18n/uistrings.h"

namespace zark {
namespace {

constexpr int kTextTitle = 197;         // "Delete"
constexpr int kTextClose = 198;         // "&Close"
constexpr int kTextDelete = 199;        // "&Delete"
constexpr int kTextTrashFailed = 373;   // "Failed to move file %s to the trash"

}  // namespace

DeleteFilesDialog::DeleteFilesDialog(QWidget* parent, const QString& folder, const QStringList& nameFilters)
    : QFileDialog(parent) {
    LoadUiStrings();
    setObjectName(QStringLiteral("deleteDialog"));
    setOption(QFileDialog::DontUseNativeDialog);
    setWindowTitle(UiQString(kTextTitle));
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::ExistingFiles);
    setNameFilters(nameFilters);
    setDirectory(folder);
    setLabelText(QFileDialog::Accept, UiQString(kTextDelete));
    setLabelText(QFileDialog::Reject, UiQString(kTextClose));
}

void DeleteFilesDialog::accept() {
    const QStringList chosen = selectedFiles();
    // A folder chosen or typed is opened, as in any file dialog.
    if (chosen.size() == 1 && QFileInfo(chosen.front()).isDir()) {
        setDirectory(chosen.front());
        selectFile(QString());
        return;
    }
    for (const QString& path : chosen) {
        if (!QFileInfo(path).isFile()) continue;
        errno = 0;
        if (QFile::moveToTrash(path)) {
            deleted_ << path;
            continue;
        }
        ReportError(errno, "cannot move '%s' to the trash", qPrintable(path));
        CurrentMessageBoxSink().ShowMessage(
            UiText(kUiTextError), QString::asprintf(UiText(kTextTrashFailed).c_str(), path.toUtf8().constData()).toStdString(),
            MessageIcon::Error);
    }
    selectFile(QString());  // the dialog stays for further deletions
}

}  // namespace zark
