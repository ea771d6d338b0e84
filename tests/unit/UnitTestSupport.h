// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Helpers shared by the unit tests: readable QString failures, an environment variable set
// for one scope, and direct access to files behind a store's back.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <ctime>
#include <functional>
#include <optional>
#include <ostream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace lumatide::test {

// Sets (or, given nothing, unsets) one environment variable and puts the old value back. Time
// zone changes take effect at once.
class ScopedEnvironmentVariable final {
public:
    ScopedEnvironmentVariable(const char* name, std::optional<QByteArray> value)
        : name_(name),
          previous_(qEnvironmentVariableIsSet(name) ? std::optional<QByteArray>(qgetenv(name))
                                                    : std::nullopt) {
        apply(value);
    }
    ~ScopedEnvironmentVariable() { apply(previous_); }
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

private:
    void apply(const std::optional<QByteArray>& value) {
        if (value) {
            qputenv(name_, *value);
        } else {
            qunsetenv(name_);
        }
        ::tzset();
    }

    const char* name_;
    std::optional<QByteArray> previous_;
};

// A zone nine hours ahead of UTC in POSIX notation (the sign is inverted), so no zone data is
// needed. Day tokens follow the local calendar; one taken from the UTC date shows up wrong.
inline constexpr const char* nineHoursAhead = "XST-09:00";

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// Permission bits of a file or folder, or -1 when it cannot be examined.
inline int modeOf(const QString& path) {
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0) {
        return -1;
    }
    return static_cast<int>(status.st_mode & 07777);
}

// Runs `body` in a forked child whose exit status is its result; an alarm ends it if it blocks.
inline pid_t startChild(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::alarm(30);
        ::_exit(body());
    }
    return pid;
}

// The child's exit status, or -1 when it did not exit normally (a crash or the alarm).
inline int finishChild(pid_t pid) {
    int status = 0;
    if (pid <= 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

inline int inChild(const std::function<int()>& body) {
    return finishChild(startChild(body));
}

// Every name in a folder, hidden ones included, sorted.
inline QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace lumatide::test
