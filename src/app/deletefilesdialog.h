#pragma once

#include <QFileDialog>
#include <QStringList>

namespace zark {

// "Delete": a file dialog in which several files are chosen and moved to the desktop's trash with
// "&Delete"; it stays open for further deletions until "&Close". Always the toolkit's own dialog,
// since its buttons are the program's.
class DeleteFilesDialog final : public QFileDialog {
public:
    DeleteFilesDialog(QWidget* parent, const QString& folder, const QStringList& nameFilters);

    // The files moved to the trash so far.
    const QStringList& Deleted() const { return deleted_; }

protected:
    // "&Delete": every chosen file goes to the trash; the dialog stays open.
    void accept() override;

private:
    QStringList deleted_;
};

}  // namespace zark
