// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/HistoryReading.h"

#include "history/HistoryLine.h"

#include <QByteArray>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace lumatide {

namespace {

QString systemError(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

// Collects the bytes of one line at a time, forgetting a line once it grows too long.
class LineSplitter final {
public:
    explicit LineSplitter(const std::function<void(QByteArrayView)>& visit) : visit_(visit) {}

    void feed(QByteArrayView bytes) {
        while (!bytes.isEmpty()) {
            const qsizetype end = bytes.indexOf('\n');
            append(end < 0 ? bytes : bytes.first(end));
            if (end < 0) {
                return;
            }
            finishLine();
            bytes = bytes.sliced(end + 1);
        }
    }

    void finish() {
        if (!line_.isEmpty() || tooLong_) {
            finishLine();
        }
    }

private:
    void append(QByteArrayView piece) {
        if (tooLong_ || line_.size() + piece.size() > maxHistoryLineBytes) {
            tooLong_ = true;
            line_.clear();
        } else {
            line_ += piece;
        }
    }

    void finishLine() {
        if (!tooLong_) {
            visit_(line_);
        }
        line_.clear();
        tooLong_ = false;
    }

    const std::function<void(QByteArrayView)>& visit_;
    QByteArray line_;
    bool tooLong_ = false;
};

} // namespace

bool forEachHistoryLine(const QString& path, const std::function<void(QByteArrayView)>& visit,
                        QString& error) {
    // Non-blocking, so that a pipe put at the path cannot make the program wait for a writer.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) {
            return true;
        }
        error = systemError(errno);
        return false;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        error = u"it is not a regular file"_s;
        return false;
    }
    LineSplitter lines(visit);
    QByteArray buffer(64 * 1024, Qt::Uninitialized);
    for (;;) {
        const ssize_t got = ::read(fd, buffer.data(), static_cast<size_t>(buffer.size()));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            error = systemError(errno);
            ::close(fd);
            return false;
        }
        if (got == 0) {
            break;
        }
        lines.feed(QByteArrayView(buffer.constData(), got));
    }
    ::close(fd);
    lines.finish();
    return true;
}

HistoryRead readHistory(const QString& path) {
    HistoryRead read;
    const auto keep = [&read](QByteArrayView line) {
        if (std::optional<HistoryEvent> event = parseHistoryLine(line)) {
            read.events.push_back(std::move(*event));
        }
    };
    if (!forEachHistoryLine(path, keep, read.error)) {
        read.events.clear();
    }
    return read;
}

} // namespace lumatide
