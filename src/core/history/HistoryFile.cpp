// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/HistoryFile.h"

#include "history/HistoryLine.h"
#include "history/HistoryReading.h"
#include "prefs/PrivateFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

using namespace Qt::StringLiterals;

namespace lumatide {

namespace {

QString systemError(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

bool writeAll(int fd, QByteArrayView bytes) {
    while (!bytes.isEmpty()) {
        const ssize_t written = ::write(fd, bytes.data(), static_cast<size_t>(bytes.size()));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            if (written == 0) {
                errno = ENOSPC;
            }
            return false;
        }
        bytes = bytes.sliced(written);
    }
    return true;
}

// Whether the file's last byte is a newline (an empty file counts as ending in one).
bool endsInNewline(int fd, off_t size) {
    char last = '\n';
    return size == 0 || (::pread(fd, &last, 1, size - 1) == 1 && last == '\n');
}

} // namespace

HistoryFile::HistoryFile(QString path) : path_(std::move(path)) {
}

QString HistoryFile::standardPath() {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state)) {
        state = QDir::homePath() + u"/.local/state"_s;
    }
    return state + u"/lumatide/history.jsonl"_s;
}

void HistoryFile::record(const HistoryEvent& event) {
    QString error;
    if (!append(historyLine(event), error)) {
        warnOnce(error);
    }
}

bool HistoryFile::append(const QByteArray& line, QString& error) {
    if (!makePrivateFolder(QFileInfo(path_).absolutePath(), error)) {
        return false;
    }
    // Not following a link, and not waiting on a pipe someone put at the path. Readable too,
    // to see whether the last line was finished.
    const int fd = ::open(QFile::encodeName(path_).constData(),
                          O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0) {
        error = systemError(errno);
        return false;
    }
    struct stat status {};
    bool written = false;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        error = u"it is not a regular file"_s;
    } else {
        // A process killed halfway through a line leaves it without its newline; the new line
        // starts on its own so that the damaged one cannot take it along.
        const QByteArray bytes = endsInNewline(fd, status.st_size) ? line : '\n' + line;
        written = writeAll(fd, bytes);
        if (!written) {
            error = systemError(errno);
            // A full disk must not leave half a line of ours behind; should even that fail,
            // the reader skips the torn line.
            if (::ftruncate(fd, status.st_size) != 0) {
                error += u" (a partial line is left)"_s;
            }
        }
    }
    if (::close(fd) != 0 && written) {
        error = systemError(errno);
        written = false;
    }
    return written;
}

bool HistoryFile::compact(QDate today, int keepDays) {
    const QDate firstKept = today.addDays(1 - static_cast<qint64>(keepDays));
    QByteArray kept;
    bool old = false;
    const auto sort = [&](QByteArrayView line) {
        const std::optional<HistoryEvent> event = parseHistoryLine(line);
        if (!event) {
            return;
        }
        if (historyDay(*event) < firstKept) {
            old = true;
        } else {
            kept += line;
            kept += '\n';
        }
    };
    QString error;
    if (!forEachHistoryLine(path_, sort, error)) {
        warnOnce(error);
        return false;
    }
    if (old && !writeFileAtomically(path_, kept, error)) {
        warnOnce(error);
        return false;
    }
    return true;
}

void HistoryFile::warnOnce(const QString& reason) {
    if (std::exchange(warned_, true)) {
        return;
    }
    const QString line =
        u"lumatide: the history of rests cannot be written to %1: %2"_s.arg(path_, reason);
    qWarning("%s", qUtf8Printable(line));
}

} // namespace lumatide
