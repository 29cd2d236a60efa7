#include "storage/checkedfile.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include "diag/diagnostics.h"

namespace zark {
namespace {

bool IsNoRoom(int code) {
#ifdef EDQUOT
    if (code == EDQUOT) return true;
#endif
    return code == ENOSPC;
}

// Syncs the file behind the descriptor; a file system that cannot sync (EINVAL) is no failure.
int Sync(int handle) {
#ifdef Q_OS_WIN
    return _commit(handle) == 0 ? 0 : errno;
#else
    if (::fsync(handle) == 0) return 0;
    return errno == EINVAL || errno == ENOTSUP ? 0 : errno;
#endif
}

// The rename is on the disk once the folder is synced too.
void SyncFolder(const QString& path) {
#ifndef Q_OS_WIN
    const int handle = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (handle < 0) return;
    ::fsync(handle);
    ::close(handle);
#else
    Q_UNUSED(path);
#endif
}

}  // namespace

CheckedFile::CheckedFile(const QString& path) : file_(path) {}

CheckedFile::~CheckedFile() {
    if (file_.isOpen()) file_.cancelWriting();
}

bool CheckedFile::Fail(int code, const QString& reason) {
    if (!failed_) {
        failed_ = true;
        noRoom_ = IsNoRoom(code) || file_.error() == QFileDevice::ResourceError;
        error_ = reason.isEmpty() ? QString::fromStdString(SystemErrorText(code)) : reason;
        LogLine("Cannot write file %s: %s\n", qPrintable(file_.fileName()), qPrintable(error_));
    }
    if (file_.isOpen()) file_.cancelWriting();
    return false;
}

bool CheckedFile::Open() {
    errno = 0;
    if (file_.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return true;
    return Fail(errno, file_.errorString());
}

bool CheckedFile::Write(std::string_view bytes) {
    if (failed_) return false;
    if (!file_.isOpen()) return Fail(EBADF, QString());
    const char* data = bytes.data();
    qint64 left = qint64(bytes.size());
    while (left > 0) {
        errno = 0;
        const qint64 written = file_.write(data, left);
        if (written <= 0) return Fail(errno, file_.errorString());
        data += written;
        left -= written;
    }
    return true;
}

bool CheckedFile::Commit() {
    if (failed_) return false;
    if (!file_.isOpen()) return Fail(EBADF, QString());
    if (const int code = Sync(file_.handle()); code != 0) return Fail(code, QString());
    errno = 0;
    if (!file_.commit()) {
        const int code = errno;
        failed_ = true;  // the commit removed the temporary file
        noRoom_ = IsNoRoom(code);
        error_ = file_.errorString();
        LogLine("Cannot write file %s: %s\n", qPrintable(file_.fileName()), qPrintable(error_));
        return false;
    }
    SyncFolder(file_.fileName());
    return true;
}

bool WriteWholeFile(const QString& path, std::string_view bytes, QString* error, bool* noRoom) {
    CheckedFile file(path);
    const bool ok = file.Open() && file.Write(bytes) && file.Commit();
    if (!ok && error) *error = file.Error();
    if (noRoom) *noRoom = !ok && file.NoRoom();
    return ok;
}

}  // namespace zark
