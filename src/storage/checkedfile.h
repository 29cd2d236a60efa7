#pragma once

#include <QSaveFile>
#include <QString>
#include <string_view>

namespace zark {

// A file written whole or not at all. The text goes to a temporary file beside path, every write
// unbuffered and checked (a short write is tried again until the system says why it cannot go
// on), the file is synced to the disk and checked, and only then renamed over path. Any failure
// leaves no new file and the file that was at path as it was. (A buffered write that fails only
// when the buffer is flushed at the end would otherwise pass unseen, and a cut file would be
// renamed over a good one.)
class CheckedFile final {
public:
    explicit CheckedFile(const QString& path);
    // Without Commit nothing is left behind.
    ~CheckedFile();
    CheckedFile(const CheckedFile&) = delete;
    CheckedFile& operator=(const CheckedFile&) = delete;

    bool Open();
    // False once any write failed; later writes then do nothing.
    bool Write(std::string_view bytes);
    // Syncs the file, renames it over the path and syncs its folder; false when any of it fails
    // or an earlier step failed.
    bool Commit();

    bool Failed() const { return failed_; }
    // The disk (or the user's quota) had no room: the cause of the failure, not a refusal.
    bool NoRoom() const { return noRoom_; }
    QString Error() const { return error_; }

private:
    bool Fail(int code, const QString& reason);

    QSaveFile file_;
    bool failed_ = false;
    bool noRoom_ = false;
    QString error_;
};

// Writes the bytes to path through a CheckedFile; false with the reason (and whether there was no
// room) when the file could not be written whole.
bool WriteWholeFile(const QString& path, std::string_view bytes, QString* error = nullptr, bool* noRoom = nullptr);

}  // namespace zark
