// A writer that keeps changing the preference file until it is killed, and the driver that
// kills it with SIGKILL at random moments and checks the file after every kill.
//
//   prefs_crash_writer write <file> <first counter>
//       sets "counter" to n and "payload" to a text that repeats n, for n = first, first + 1, ...;
//       prints "ready" after its first write and leaves with status 1 as soon as a write fails.
//   prefs_crash_writer kill <folder> <kills>
//       the test: runs the writer and kills it that many times; status 0 when the file stayed
//       sound throughout and no killed writer's lock held up the next one.
#include "prefs/JsonFilePreferenceStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <sys/stat.h>

using namespace lumatide;

namespace {

constexpr auto untouchedKey = "untouched";
constexpr auto untouchedText = "kept across every kill";
// A payload large enough that a write takes a little while, so kills land inside writes.
constexpr int payloadRepeats = 400;

QString payloadFor(qint64 counter) {
    return QString::number(counter).append(QLatin1Char(';')).repeated(payloadRepeats);
}

int write(const QString& path, qint64 first) {
    JsonFilePreferenceStore store(path);
    for (qint64 n = first;; ++n) {
        // The payload first: a file caught between the two writes holds the new payload with
        // the old counter, which the check accepts as "counter or counter + 1".
        if (!store.trySetValue(QStringLiteral("payload"), payloadFor(n)) ||
            !store.trySetValue(QStringLiteral("counter"), n)) {
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

struct Check {
    QString problem;
    qint64 counter = 0;
};

// The file must be a whole JSON object with the untouched key, a counter, and a payload made
// of one number only: the counter's (an old file) or the next one (a write between the two).
Check check(const QString& path, qint64 lastCounter) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {QStringLiteral("cannot read the file: %1").arg(file.errorString())};
    }
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty()) {
        return {QStringLiteral("the file is empty")};
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return {QStringLiteral("not a JSON object: %1").arg(error.errorString())};
    }
    const QJsonObject values = document.object();
    if (values.value(QLatin1String(untouchedKey)).toString() != QLatin1String(untouchedText)) {
        return {QStringLiteral("the untouched key was lost")};
    }
    const qint64 counter = values.value(QStringLiteral("counter")).toInteger(-1);
    if (counter < lastCounter) {
        return {
            QStringLiteral("the counter went back from %1 to %2").arg(lastCounter).arg(counter)};
    }
    const QString payload = values.value(QStringLiteral("payload")).toString();
    if (payload != payloadFor(counter) && payload != payloadFor(counter + 1)) {
        return {QStringLiteral("payload of another write next to counter %1: %2...")
                    .arg(counter)
                    .arg(payload.left(40))};
    }
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0 ||
        (status.st_mode & 07777) != 0600) {
        return {
            QStringLiteral("the file is not private: mode %1").arg(status.st_mode & 07777, 0, 8)};
    }
    return {{}, counter};
}

int killRepeatedly(const QString& folder, int kills) {
    const QString path = folder + QStringLiteral("/preferences.json");
    JsonFilePreferenceStore seed(path);
    if (!seed.trySetValue(QLatin1String(untouchedKey), QLatin1String(untouchedText)) ||
        !seed.trySetValue(QStringLiteral("counter"), 0) ||
        !seed.trySetValue(QStringLiteral("payload"), payloadFor(0))) {
        std::fprintf(stderr, "FAIL: could not seed %s\n", qUtf8Printable(path));
        return 1;
    }

    // A writer killed between creating the lock file and writing into it leaves it empty: the
    // next writer must get past it well before its own give-up time of 5 s.
    QFile emptyLock(path + QStringLiteral(".lock"));
    if (!emptyLock.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "FAIL: could not create an empty lock file\n");
        return 1;
    }
    emptyLock.close();
    qint64 counter = 0;
    {
        QProcess writer;
        QElapsedTimer waited;
        waited.start();
        writer.start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("write"), path, QStringLiteral("1")});
        const bool ready = writer.waitForReadyRead(10000);
        const qint64 waitedMs = waited.elapsed();
        writer.kill();
        writer.waitForFinished();
        if (!ready) {
            std::fprintf(stderr, "FAIL: an empty lock file blocked the writer: %s\n",
                         writer.readAllStandardError().constData());
            return 1;
        }
        std::printf("an empty lock file held the next writer up for %lld ms\n",
                    static_cast<long long>(waitedMs));
        const Check result = check(path, 0);
        if (!result.problem.isEmpty()) {
            std::fprintf(stderr, "FAIL after the empty lock: %s\n", qUtf8Printable(result.problem));
            return 1;
        }
        counter = result.counter;
    }

    qint64 slowestStartMs = 0;
    int staleLocks = 0;
    QElapsedTimer total;
    total.start();
    for (int attempt = 0; attempt < kills; ++attempt) {
        QProcess writer;
        writer.setProcessChannelMode(QProcess::SeparateChannels);
        QElapsedTimer started;
        started.start();
        writer.start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("write"), path, QString::number(counter + 1)});
        // The first write comes after the previous writer's death: a lock it left behind
        // must not hold this one up.
        if (!writer.waitForReadyRead(10000)) {
            std::fprintf(
                stderr, "FAIL: writer %d wrote nothing in 10 s (lock file of %lld bytes): %s\n",
                attempt, static_cast<long long>(QFileInfo(path + QStringLiteral(".lock")).size()),
                writer.readAllStandardError().constData());
            writer.kill();
            writer.waitForFinished();
            return 1;
        }
        slowestStartMs = std::max(slowestStartMs, started.elapsed());
        QThread::usleep(QRandomGenerator::global()->bounded(20000U));
        ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
        writer.waitForFinished();
        if (writer.exitStatus() != QProcess::CrashExit) {
            std::fprintf(stderr, "FAIL: writer %d ended by itself: %s\n", attempt,
                         writer.readAllStandardError().constData());
            return 1;
        }
        if (QFile::exists(path + QStringLiteral(".lock"))) {
            ++staleLocks; // the next writer has to get past it
        }
        const Check result = check(path, counter);
        if (!result.problem.isEmpty()) {
            std::fprintf(stderr, "FAIL after kill %d: %s\n", attempt,
                         qUtf8Printable(result.problem));
            return 1;
        }
        counter = result.counter;
    }
    std::printf("%d kills in %lld ms, the file always sound; last counter %lld; "
                "%d kills left the lock file behind; slowest first write %lld ms\n",
                kills, static_cast<long long>(total.elapsed()), static_cast<long long>(counter),
                staleLocks, static_cast<long long>(slowestStartMs));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 4 && arguments.at(1) == QLatin1String("write")) {
        return write(arguments.at(2), arguments.at(3).toLongLong());
    }
    if (arguments.size() == 4 && arguments.at(1) == QLatin1String("kill")) {
        return killRepeatedly(arguments.at(2), arguments.at(3).toInt());
    }
    std::fprintf(stderr,
                 "usage: prefs_crash_writer write <file> <first> | kill <folder> <kills>\n");
    return 2;
}
