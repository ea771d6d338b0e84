// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/ProgramLocation.h"

#include "system/DesktopId.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace lumatide {

namespace {

const QString installedDesktopFile =
    QStringLiteral("share/applications/") + desktopId + QStringLiteral(".desktop");

} // namespace

QString runningExecutablePath() {
    // /proc/self/exe is the kernel's own record and needs no application object.
    const QString target = QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
    const QString real = QFileInfo(target).canonicalFilePath();
    return real.isEmpty() ? target : real;
}

QString programPathToStart(const QProcessEnvironment& environment, const QString& executablePath) {
    QString appImage = environment.value(QStringLiteral("APPIMAGE"));
    if (!appImage.isEmpty()) {
        return appImage;
    }
    const QString real = QFileInfo(executablePath).canonicalFilePath();
    return real.isEmpty() ? executablePath : real;
}

QString programPathToStart() {
    return programPathToStart(QProcessEnvironment::systemEnvironment(), runningExecutablePath());
}

bool runningFromInstalledLocation(const QString& executablePath,
                                  const QProcessEnvironment& environment) {
    if (!environment.value(QStringLiteral("APPIMAGE")).isEmpty()) {
        return true;
    }
    const QString real = QFileInfo(executablePath).canonicalFilePath();
    if (real.isEmpty()) {
        return false;
    }
    QDir prefix = QFileInfo(real).dir();
    if (!prefix.cdUp()) {
        return false;
    }
    return QFileInfo(prefix.filePath(installedDesktopFile)).isFile();
}

bool runningFromInstalledLocation() {
    return runningFromInstalledLocation(runningExecutablePath(),
                                        QProcessEnvironment::systemEnvironment());
}

bool runningAsUserServiceUnit(const QProcessEnvironment& environment, const QString& cgroupText) {
    if (environment.value(QStringLiteral("INVOCATION_ID")).isEmpty()) {
        return false;
    }
    const QString unit = desktopId + QStringLiteral(".service");
    // Each line is "hierarchy:controllers:path"; the unit is one component of the path.
    const QStringList lines = cgroupText.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        const qsizetype first = line.indexOf(QLatin1Char(':'));
        const qsizetype second = first < 0 ? -1 : line.indexOf(QLatin1Char(':'), first + 1);
        if (second < 0) {
            continue;
        }
        const QStringList components = line.mid(second + 1).split(QLatin1Char('/'));
        if (components.contains(unit)) {
            return true;
        }
    }
    return false;
}

bool runningAsUserServiceUnit() {
    QFile cgroup(QStringLiteral("/proc/self/cgroup"));
    if (!cgroup.open(QIODevice::ReadOnly)) {
        return false;
    }
    return runningAsUserServiceUnit(QProcessEnvironment::systemEnvironment(),
                                    QString::fromUtf8(cgroup.readAll()));
}

} // namespace lumatide
