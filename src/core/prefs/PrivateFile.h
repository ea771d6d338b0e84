// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace lumatide {

// What identifies one version of a file: a new file, a rename over it or any write changes it.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

struct FileRead {
    enum class State { missing, read, unusable };
    State state = State::missing;
    QByteArray bytes;
    QString error; // why the file is unusable
    FileStamp stamp;
};

// The stamp of the file at the path (symbolic links followed); nothing when it cannot be
// asked, for instance because there is no file.
std::optional<FileStamp> fileStamp(const QString& path);

// Reads a regular file of at most maxBytes without ever waiting for a writer: a pipe, a
// device, a folder or a larger file is unusable, as is one that cannot be opened or read.
FileRead readBoundedFile(const QString& path, std::int64_t maxBytes);

// Replaces the file with the bytes, readable only by the user: written to a new file beside
// it, flushed to the disk, then renamed over it. Either the new content lands whole or the
// old file stays as it was; the new file is removed on failure.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString& error);

// Creates the folder and any missing parents, readable only by the user.
bool makePrivateFolder(const QString& path, QString& error);

} // namespace lumatide
