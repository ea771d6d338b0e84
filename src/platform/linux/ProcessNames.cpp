// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/ProcessNames.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

namespace lumatide {
namespace {

std::optional<QByteArray> readSmallFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    // Files under /proc report a size of 0; read up to a limit rather than by size.
    return file.read(qint64{64} * 1024);
}

// The real user id from the "Uid:" line of /proc/<pid>/status.
std::optional<uid_t> realUserId(const QString& processFolder) {
    const auto status = readSmallFile(processFolder + QStringLiteral("/status"));
    if (!status) {
        return std::nullopt;
    }
    for (const QByteArray& line : status->split('\n')) {
        if (!line.startsWith("Uid:")) {
            continue;
        }
        const QList<QByteArray> fields = line.mid(4).simplified().split(' ');
        bool ok = false;
        const qulonglong value = fields.value(0).toULongLong(&ok);
        if (!ok || value > static_cast<qulonglong>(static_cast<uid_t>(-1))) {
            return std::nullopt;
        }
        return static_cast<uid_t>(value);
    }
    return std::nullopt;
}

} // namespace

QString executableBaseName(const QString& linkTarget) {
    QString path = linkTarget;
    const QLatin1String deletedMark(" (deleted)");
    if (path.endsWith(deletedMark)) {
        path.chop(deletedMark.size());
    }
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QStringList runningProcessNames(const QString& procRoot, uid_t uid) {
    std::vector<std::pair<qulonglong, QString>> processes;
    const QStringList entries = QDir(procRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool numeric = false;
        const qulonglong pid = entry.toULongLong(&numeric);
        if (numeric) {
            processes.emplace_back(pid, entry);
        }
    }
    std::sort(processes.begin(), processes.end());

    QStringList names;
    for (const auto& [pid, entry] : processes) {
        const QString folder = procRoot + QLatin1Char('/') + entry;
        const auto owner = realUserId(folder);
        if (!owner || *owner != uid) {
            continue;
        }
        QString command;
        if (const auto comm = readSmallFile(folder + QStringLiteral("/comm"))) {
            command = QString::fromUtf8(*comm);
            if (command.endsWith(QLatin1Char('\n'))) {
                command.chop(1);
            }
            if (!command.isEmpty()) {
                names.append(command);
            }
        }
        std::error_code error;
        const auto target = std::filesystem::read_symlink(
            std::filesystem::path(QFile::encodeName(folder + QStringLiteral("/exe")).toStdString()),
            error);
        if (!error) {
            const QString base =
                executableBaseName(QFile::decodeName(QByteArray::fromStdString(target.string())));
            if (!base.isEmpty() && base != command) {
                names.append(base);
            }
        }
    }
    return names;
}

} // namespace lumatide
