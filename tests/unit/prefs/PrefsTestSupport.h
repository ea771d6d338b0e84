#pragma once

// Small helpers shared by the preference tests: readable QString failures, environment
// variables set for one test, and direct access to files behind the store's back.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <ctime>
#include <optional>
#include <ostream>
#include <sys/stat.h>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace lumatide::test {

// Sets (or unsets, with nothing) one environment variable and puts the old value back.
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

// Sets the process's file-creation mask for one test.
class ScopedUmask final {
public:
    explicit ScopedUmask(mode_t mask) : previous_(::umask(mask)) {}
    ~ScopedUmask() { ::umask(previous_); }
    ScopedUmask(const ScopedUmask&) = delete;
    ScopedUmask& operator=(const ScopedUmask&) = delete;

private:
    mode_t previous_;
};

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
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

// Every name in a folder, hidden ones included, sorted.
inline QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace lumatide::test
