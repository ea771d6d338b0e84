// SPDX-License-Identifier: GPL-3.0-or-later
// A writer that keeps changing the preference file until it is killed, and the driver that
// kills it with SIGKILL at random moments and checks the file after every kill.
//
//   prefs_crash_writer write <file> <first counter>
//       sets "payload" to a text that repeats n, then "counter" to n, for n = first, first + 1,
//       ...; prints "ready" after its first write and leaves with status 1 once a write fails.
//   prefs_crash_writer kill <folder> <kills>
//       the test: runs the writer and kills it that many times; status 0 when the file stayed
//       sound throughout and no lock a killed writer left (an empty one first) held up the next.
#include "prefs/JsonFilePreferenceStore.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <cstdio>

using namespace lumatide;
using namespace Qt::StringLiterals;

namespace {

const QString untouchedKey = u"untouched"_s;
const QString untouchedText = u"kept across every kill"_s;

// A payload large enough that a write takes a little while, so kills land inside writes.
QString payloadFor(qint64 counter) {
    return QString::number(counter).append(QLatin1Char(';')).repeated(400);
}

int write(const QString& path, qint64 first) {
    JsonFilePreferenceStore store(path);
    for (qint64 n = first;; ++n) {
        // The payload first: a file caught between the two writes holds the new payload with
        // the old counter, which the check accepts.
        if (!store.trySetValue(u"payload"_s, payloadFor(n)) ||
            !store.trySetValue(u"counter"_s, n)) {
            std::fprintf(stderr, "write %lld failed: %s\n", static_cast<long long>(n),
                         qUtf8Printable(store.lastError()));
            return 1;
        }
        if (n == first) {
            std::printf("ready\n");
            std::fflush(stdout);
        }
    }
}

// The file must be a whole JSON object with the untouched key, a counter not below the last
// one, and a payload of one number only: the counter's (an old file) or the next one (a write
// between the two). Returns the counter, or -1 after printing what the file holds.
qint64 check(const QString& path, qint64 lastCounter) {
    QFile file(path);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    const QJsonObject values = QJsonDocument::fromJson(bytes).object();
    const qint64 counter = values.value(u"counter"_s).toInteger(-1);
    const QString payload = values.value(u"payload"_s).toString();
    if (values.value(untouchedKey).toString() == untouchedText && counter >= lastCounter &&
        (payload == payloadFor(counter) || payload == payloadFor(counter + 1))) {
        return counter;
    }
    std::fprintf(stderr, "FAIL: after counter %lld the file holds %lld bytes: %s...\n",
                 static_cast<long long>(lastCounter), static_cast<long long>(bytes.size()),
                 bytes.left(80).constData());
    return -1;
}

int killRepeatedly(const QString& folder, int kills) {
    const QString path = folder + u"/preferences.json"_s;
    JsonFilePreferenceStore seed(path);
    // A writer killed between creating the lock file and writing into it leaves it empty.
    QFile emptyLock(path + u".lock"_s);
    if (!seed.trySetValue(untouchedKey, untouchedText) || !seed.trySetValue(u"counter"_s, 0) ||
        !seed.trySetValue(u"payload"_s, payloadFor(0)) || !emptyLock.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "FAIL: could not prepare %s\n", qUtf8Printable(path));
        return 1;
    }

    qint64 counter = 0;
    for (int attempt = 0; attempt < kills && counter >= 0; ++attempt) {
        QProcess writer;
        writer.start(QCoreApplication::applicationFilePath(),
                     {u"write"_s, path, QString::number(counter + 1)});
        const bool ready = writer.waitForReadyRead(10000);
        QThread::usleep(QRandomGenerator::global()->bounded(20000U));
        writer.kill(); // SIGKILL
        writer.waitForFinished();
        // One that wrote nothing was held up by a lock a killed writer left; one that ended by
        // itself had a write fail.
        if (!ready || writer.exitStatus() != QProcess::CrashExit) {
            std::fprintf(stderr, "FAIL: writer %d %s: %s\n", attempt,
                         ready ? "ended by itself" : "wrote nothing",
                         writer.readAllStandardError().constData());
            return 1;
        }
        counter = check(path, counter);
    }
    std::printf("%d kills, last counter %lld\n", kills, static_cast<long long>(counter));
    return counter >= 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 4) {
        std::fprintf(stderr,
                     "usage: prefs_crash_writer write <file> <first> | kill <folder> <kills>\n");
        return 2;
    }
    return arguments.at(1) == QLatin1String("write")
               ? write(arguments.at(2), arguments.at(3).toLongLong())
               : killRepeatedly(arguments.at(2), arguments.at(3).toInt());
}
