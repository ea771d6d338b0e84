// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/XdgAutostart.h"

#include "linux/DesktopEntryExec.h"
#include "linux/ProgramLocation.h"
#include "system/DesktopId.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <utility>

namespace lumatide {

namespace {

const QString entryFileName = desktopId + QStringLiteral(".desktop");
const QString autostartFolder = QStringLiteral("/autostart/");

QString userConfigDirectory(const QProcessEnvironment& environment) {
    // Relative values are invalid by the base-directory rules and are ignored.
    QString configured = environment.value(QStringLiteral("XDG_CONFIG_HOME"));
    if (QDir::isAbsolutePath(configured)) {
        return configured;
    }
    return environment.value(QStringLiteral("HOME")) + QStringLiteral("/.config");
}

QStringList systemConfigDirectories(const QProcessEnvironment& environment) {
    QStringList result;
    const QStringList configured = environment.value(QStringLiteral("XDG_CONFIG_DIRS"))
                                       .split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString& directory : configured) {
        if (QDir::isAbsolutePath(directory)) {
            result.append(directory);
        }
    }
    if (result.isEmpty()) {
        result.append(QStringLiteral("/etc/xdg"));
    }
    return result;
}

// Whether the entry at `path` will start anything at login. Only the keys of the
// [Desktop Entry] group count; Boolean values are read as GLib reads them.
bool entryStartsAtLogin(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return false;
    }
    bool inMainGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) {
            continue;
        }
        if (line.startsWith(QLatin1Char('['))) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!inMainGroup || equals < 0) {
            continue;
        }
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if (key == QLatin1String("Hidden") &&
            (value == QLatin1String("true") || value == QLatin1String("1"))) {
            return false;
        }
        if (key == QLatin1String("X-GNOME-Autostart-enabled") &&
            (value == QLatin1String("false") || value == QLatin1String("0"))) {
            return false;
        }
    }
    return true;
}

} // namespace

XdgAutostart::XdgAutostart()
    : XdgAutostart(QProcessEnvironment::systemEnvironment(), programPathToStart()) {
}

XdgAutostart::XdgAutostart(const QProcessEnvironment& environment, QString programPath)
    : entryPath_(userConfigDirectory(environment) + autostartFolder + entryFileName),
      systemDirectories_(systemConfigDirectories(environment)),
      programPath_(std::move(programPath)) {
}

QString XdgAutostart::systemEntryPath() const {
    for (const QString& directory : systemDirectories_) {
        QString path = directory + autostartFolder + entryFileName;
        if (QFileInfo::exists(path)) {
            return path;
        }
    }
    return {};
}

bool XdgAutostart::isEnabled() const {
    // The user's entry, whatever it says, overrides a system-wide one of the same name.
    if (QFileInfo::exists(entryPath_)) {
        return entryStartsAtLogin(entryPath_);
    }
    const QString systemEntry = systemEntryPath();
    return !systemEntry.isEmpty() && entryStartsAtLogin(systemEntry);
}

std::optional<QString> XdgAutostart::enable() {
    return writeEntry(false);
}

std::optional<QString> XdgAutostart::disable() {
    if (!systemEntryPath().isEmpty()) {
        return writeEntry(true);
    }
    QFile entry(entryPath_);
    if (!entry.exists() || entry.remove()) {
        return std::nullopt;
    }
    return QStringLiteral("Could not remove the autostart entry %1: %2")
        .arg(entryPath_, entry.errorString());
}

std::optional<QString> XdgAutostart::writeEntry(bool hidden) const {
    const std::optional<QString> exec = desktopEntryExecValue(programPath_);
    // A hiding entry starts nothing, so an unusable path need not stop it.
    if (!exec && !hidden) {
        return QStringLiteral("The program path cannot be written to an autostart entry "
                              "because it is empty or contains a line break or another "
                              "control character: %1")
            .arg(QString(programPath_).replace(QLatin1Char('\n'), QStringLiteral("\\n")));
    }
    QString content = QStringLiteral("[Desktop Entry]\n"
                                     "Type=Application\n"
                                     "Name=Lumatide\n");
    if (exec) {
        content += QStringLiteral("Exec=") + *exec + QLatin1Char('\n');
    }
    content += QStringLiteral("Terminal=false\n");
    content += hidden ? QStringLiteral("Hidden=true\n")
                      : QStringLiteral("X-GNOME-Autostart-enabled=true\n");

    // A failure to create the folder shows up as the save file's own error just below.
    QDir().mkpath(QFileInfo(entryPath_).absolutePath());
    QSaveFile file(entryPath_);
    // Readable by all like any desktop entry, but writable only by the user whatever the umask:
    // whoever can change the entry chooses what runs at the user's next login.
    if (!file.open(QIODevice::WriteOnly) ||
        !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                             QFileDevice::ReadGroup | QFileDevice::ReadOther)) {
        return QStringLiteral("Could not write the autostart entry %1: %2")
            .arg(entryPath_, file.errorString());
    }
    file.write(content.toUtf8());
    if (!file.commit()) {
        return QStringLiteral("Could not write the autostart entry %1: %2")
            .arg(entryPath_, file.errorString());
    }
    return std::nullopt;
}

} // namespace lumatide
