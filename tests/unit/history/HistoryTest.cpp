// SPDX-License-Identifier: GPL-3.0-or-later
// The history of rests: its line format, the file (damage from killed processes, a full disk,
// a path that is no file, compaction) and the report of a demo day. The local zone is nine hours
// ahead of UTC, so a day taken from the UTC date shows up on the wrong row.

#include "history/DisplayWidth.h"
#include "history/HistoryFile.h"
#include "history/HistoryLine.h"
#include "history/HistoryReading.h"
#include "history/HistoryReport.h"
#include "prefs/PrivateFile.h"
#include "unit/UnitTestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace lumatide;
using namespace lumatide::test;
using namespace Qt::StringLiterals;

namespace {

const QDate today(2026, 12, 7); // a Monday

QStringList warnings;

void keepWarning(QtMsgType, const QMessageLogContext&, const QString& message) {
    warnings += message;
}

HistoryEvent rest(const QString& at, double rested, RestEnding ending, const QString& activity) {
    return {HistoryEventKind::rest,
            QDateTime::fromString(at, Qt::ISODate),
            300,
            rested,
            ending,
            activity};
}

HistoryEvent other(HistoryEventKind kind, const QString& at) {
    return {kind, QDateTime::fromString(at, Qt::ISODate), 0, 0, RestEnding::time, {}};
}

class History : public ::testing::Test {
protected:
    QString path() const { return folder.filePath(u"state/lumatide/history.jsonl"_s); }
    std::vector<HistoryEvent> events() const { return readHistory(path()).events; }
    // The report of the last `days` days: its exit status, standard output and error output.
    std::tuple<int, QString, QString> print(int days, bool json, AppLanguage language) const {
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        const int status = printHistory(path(), today, days, json, language, outStream, errStream);
        return {status, out, err};
    }

    ScopedEnvironmentVariable zone{"TZ", QByteArray(nineHoursAhead)};
    QTemporaryDir folder;
};

TEST_F(History, LinesReadBackAsWrittenAndMalformedOnesAreRefused) {
    const QString at = u"2026-12-07T10:15:00+01:00"_s;
    EXPECT_EQ(historyLine(rest(at, 299.5, RestEnding::passcode, u"Neck \"roll\""_s)),
              R"({"event":"rest","at":"2026-12-07T10:15:00+01:00","planned":300,"rested":299.5,)"
              R"("ended":"passcode","activity":"Neck \"roll\""})"
              "\n");
    const std::vector<HistoryEvent> kinds{
        rest(at, 0, RestEnding::time, u"眼保健操\n\\ \x01 "_s + QChar(0xD800) + u"😀"_s),
        other(HistoryEventKind::postponement, at), other(HistoryEventKind::idleReset, at),
        other(HistoryEventKind::restart, u"2026-12-07T10:15:00Z"_s),
        other(HistoryEventKind::temporaryQuit, u"2026-12-07T10:15:00-09:30"_s)};
    for (const HistoryEvent& event : kinds) {
        const QByteArray line = historyLine(event);
        EXPECT_EQ(line.count('\n'), 1) << line.constData();
        EXPECT_EQ(parseHistoryLine(line), event) << line.constData();
    }

    const QByteArray time = R"("at":"2026-12-07T10:15:00+01:00")";
    const auto restLine = [&](const QByteArray& fields) {
        return R"({"event":"rest",)" + time + "," + fields + "}";
    };
    const QByteArray restFields = R"("planned":300,"rested":300,"ended":"time","activity":"")";
    const struct {
        QByteArray line;
        bool valid;
    } lines[] = {
        {restLine(restFields), true},
        {restLine(restFields + R"(,"mood":"calm")"), true}, // a later version's key
        {R"({"event":"quit",)" + time + R"(,"planned":-5})", true},
        {R"({"event":"quit","at":"2026-12-07T10:15:00Z"})", true},
        {"", false},
        {"[]", false},
        {R"({"event":"nap",)" + time + "}", false},
        {R"({"event":"quit"})", false},
        {R"({"event":"quit","at":"2026-12-07T10:15:00"})", false}, // no offset
        {R"({"event":"quit","at":"2026-02-30T10:15:00+01:00"})", false},
        {R"({"event":"quit","at":7})", false},
        {restLine(R"("planned":-1,"rested":300,"ended":"time","activity":"")"), false},
        {restLine(R"("planned":300,"rested":86401,"ended":"time","activity":"")"), false},
        {restLine(R"("planned":1e999,"rested":300,"ended":"time","activity":"")"), false},
        {restLine(R"("planned":"300","rested":300,"ended":"time","activity":"")"), false},
        {restLine(R"("planned":300,"ended":"time","activity":"")"), false},
        {restLine(R"("planned":300,"rested":300,"ended":"skipped","activity":"")"), false},
        {restLine(R"("planned":300,"rested":300,"activity":"")"), false},
        {restLine(R"("planned":300,"rested":300,"ended":"time")"), false},
    };
    for (const auto& [line, valid] : lines) {
        EXPECT_EQ(parseHistoryLine(line).has_value(), valid) << line.constData();
    }
}

TEST_F(History, RecordsSurviveTornLinesAndReadingSkipsDamage) {
    HistoryFile file(path());
    file.record(other(HistoryEventKind::restart, u"2026-12-07T09:00:00+09:00"_s));
    EXPECT_EQ(modeOf(path()), 0600);
    EXPECT_EQ(modeOf(folder.filePath(u"state/lumatide"_s)), 0700);
    const QByteArray whole = readBytes(path());
    const QByteArray tooLong = historyLine(
        rest(u"2026-12-07T09:00:00Z"_s, 1, RestEnding::time, QString(maxHistoryLineBytes, u'x')));
    // A killed process left half a line; the next record must still be read.
    ASSERT_TRUE(writeBytes(path(), whole + tooLong + whole + R"({"event":"rest","at":"2026-)"));
    const HistoryEvent quit = other(HistoryEventKind::temporaryQuit, u"2026-12-07T10:00:00Z"_s);
    file.record(quit);
    EXPECT_EQ(events().size(), 3u);
    EXPECT_EQ(events().back(), quit);

    ASSERT_TRUE(writeBytes(path(), whole.chopped(1))); // whole, but for its newline
    EXPECT_EQ(events().size(), 1u);
    ASSERT_TRUE(writeBytes(path(), {}));
    EXPECT_TRUE(events().empty());
    EXPECT_TRUE(readHistory(path()).error.isEmpty());

    // Neither a link nor a pipe put at the path is written through. Each file tells the run
    // once, and records again once the path is free.
    const QString elsewhere = folder.filePath(u"elsewhere"_s);
    ASSERT_TRUE(QFile::remove(path()) && QFile::link(elsewhere, path()));
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(keepWarning);
    file.record(quit);
    file.record(quit);
    ASSERT_TRUE(QFile::remove(path()) && ::mkfifo(QFile::encodeName(path()), 0600) == 0);
    HistoryFile(path()).record(quit);
    qInstallMessageHandler(previous);
    ASSERT_EQ(warnings.size(), 2);
    EXPECT_TRUE(warnings[0].startsWith(u"lumatide: the history of rests cannot be written to "_s +
                                       path() + u": "_s));
    EXPECT_FALSE(QFile::exists(elsewhere));
    ASSERT_TRUE(QFile::remove(path()));
    file.record(quit);
    EXPECT_EQ(events(), std::vector{quit});
    ASSERT_TRUE(QFile::remove(path()) && QDir().mkdir(path()));
    EXPECT_FALSE(readHistory(path()).error.isEmpty());
    const auto [status, out, err] = print(7, false, AppLanguage::english);
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(out.isEmpty());
    EXPECT_TRUE(err.startsWith(u"lumatide: the history of rests cannot be read from "_s + path()));
}

TEST_F(History, AFullDiskLeavesOnlyWholeLines) {
    std::vector<HistoryEvent> sent;
    for (int minute = 0; minute < 30; ++minute) {
        sent.push_back(rest(u"2026-12-07T10:%1:00+09:00"_s.arg(minute, 2, 10, QChar(u'0')), 60,
                            RestEnding::time, u"Shoulder circles"_s));
    }
    const rlim_t limit = 1000; // not a multiple of the line length: a write stops mid-line
    ASSERT_EQ(inChild([&] {
                  ::signal(SIGXFSZ, SIG_IGN);
                  const rlimit fileSize{limit, limit};
                  HistoryFile file(path());
                  static_cast<void>(::setrlimit(RLIMIT_FSIZE, &fileSize));
                  for (const HistoryEvent& event : sent) {
                      file.record(event);
                  }
                  return 0;
              }),
              0);
    const QByteArray bytes = readBytes(path());
    const qsizetype lineLength = historyLine(sent[0]).size();
    ASSERT_EQ(bytes.size() % lineLength, 0);
    ASSERT_GT(bytes.size() + lineLength, static_cast<qsizetype>(limit)); // nothing lost early
    const auto kept = static_cast<std::size_t>(bytes.size() / lineLength);
    sent.resize(kept + 1);
    HistoryFile(path()).record(sent.back()); // room again
    EXPECT_EQ(events(), sent);
}

TEST_F(History, CompactionKeepsExactlyTheLastDaysInTheirOwnOffsets) {
    const QByteArray dropped = R"({"event":"quit","at":"2025-11-02T23:50:00-03:00"})"
                               "\n";
    const QByteArray kept = R"({"event":"quit","at":"2025-11-03T00:10:00+02:00","new":1})"
                            "\n"
                            R"({"event":"restart","at":"2026-12-07T23:59:59+09:00"})"
                            "\n";
    ASSERT_TRUE(QDir().mkpath(folder.filePath(u"state/lumatide"_s)));
    ASSERT_TRUE(writeBytes(path(), kept + "garbage\n" + dropped + kept.first(20)));
    EXPECT_TRUE(HistoryFile(path()).compact(today));
    EXPECT_EQ(readBytes(path()), kept);
    EXPECT_EQ(modeOf(path()), 0600);

    // Without old lines even damage stays: the file is not rewritten at all.
    ASSERT_TRUE(writeBytes(path(), kept + "garbage"));
    const std::optional<FileStamp> before = fileStamp(path());
    EXPECT_TRUE(HistoryFile(path()).compact(today));
    EXPECT_EQ(fileStamp(path()), before);
    EXPECT_TRUE(HistoryFile(folder.filePath(u"missing"_s)).compact(today));
}

TEST_F(History, ADemoDayReportsItsNumbers) {
    HistoryFile file(path());
    for (const HistoryEvent& event :
         {rest(u"2026-12-05T12:00:00+09:00"_s, 300, RestEnding::time, u"Too early"_s),
          rest(u"2026-12-07T00:30:00+09:00"_s, 300, RestEnding::time, u"Neck"_s),
          rest(u"2026-12-07T09:00:00+09:00"_s, 100, RestEnding::passcode, u"Eyes"_s),
          other(HistoryEventKind::postponement, u"2026-12-07T10:00:00+09:00"_s),
          other(HistoryEventKind::idleReset, u"2026-12-07T11:00:00+09:00"_s),
          other(HistoryEventKind::restart, u"2026-12-07T12:00:00+09:00"_s),
          other(HistoryEventKind::temporaryQuit, u"2026-12-07T13:00:00+09:00"_s),
          // 04:30 on the 7th in UTC, but made on the 6th where it happened.
          rest(u"2026-12-06T23:30:00-05:00"_s, 40, RestEnding::time, u"Walk"_s)}) {
        file.record(event);
    }
    const auto printed = [this](bool json, AppLanguage language) {
        const auto [status, out, err] = print(2, json, language);
        EXPECT_TRUE(status == 0 && err.isEmpty()) << err.toStdString();
        return out;
    };
    // Rested minutes round to the nearest, the total from the summed seconds (440 s: 7).
    EXPECT_EQ(printed(false, AppLanguage::english),
              u"Breaks in the last 2 days\n\n"
              "Date            Breaks  By time  By passcode  Minutes  Postponed  Idle resets  "
              "Restarts  Quits\n"
              "2026-12-06 Sun       1        1            0        1          0            0  "
              "       0      0\n"
              "2026-12-07 Mon       2        1            1        7          1            1  "
              "       1      1\n"
              "Total                3        2            1        7          1            1  "
              "       1      1\n"_s);
    const QStringList japanese = printed(false, AppLanguage::japanese).split(u'\n');
    ASSERT_EQ(japanese.size(), 7);
    EXPECT_TRUE(japanese[4].startsWith(u"2026-12-07 月 "_s));
    for (int row = 3; row < 6; ++row) {
        EXPECT_EQ(displayWidth(japanese[row]), displayWidth(japanese[2])) << row;
    }

    const QString json = printed(true, AppLanguage::korean);
    EXPECT_TRUE(json.endsWith(u'\n'));
    const QJsonObject report = QJsonDocument::fromJson(json.toUtf8()).object();
    const QJsonObject day{{u"date"_s, u"2026-12-07"_s}, {u"rests"_s, 2},
                          {u"endedByTime"_s, 1},        {u"endedByPasscode"_s, 1},
                          {u"minutesRested"_s, 7},      {u"secondsRested"_s, 400},
                          {u"postponements"_s, 1},      {u"idleResets"_s, 1},
                          {u"restarts"_s, 1},           {u"quits"_s, 1}};
    ASSERT_EQ(report[u"days"_s].toArray().size(), 2);
    EXPECT_EQ(report[u"days"_s][1].toObject(), day);
    EXPECT_EQ(report[u"days"_s][0][u"date"_s], u"2026-12-06"_s);
    EXPECT_EQ(report[u"total"_s][u"secondsRested"_s].toDouble(), 440);
    EXPECT_EQ(report[u"total"_s][u"minutesRested"_s].toInt(), 7);
}

TEST(HistoryPaths, StateFolderAndDisplayWidth) {
    const QString home = QDir::homePath();
    for (const auto& [state, expected] :
         {std::pair{std::optional<QByteArray>("/srv/state"), u"/srv/state"_s},
          std::pair{std::optional<QByteArray>("state"), home + u"/.local/state"_s}}) {
        const ScopedEnvironmentVariable variable("XDG_STATE_HOME", state);
        EXPECT_EQ(HistoryFile::standardPath(), expected + u"/lumatide/history.jsonl"_s);
    }
    for (const auto& [text, width] :
         {std::pair{u"Total"_s, 5}, std::pair{u"休憩（分）"_s, 10}, std::pair{u"휴식 횟수"_s, 9},
          std::pair{u"e\u0301"_s, 1}, std::pair{u"𠀋"_s, 2}}) {
        EXPECT_EQ(displayWidth(text), width) << text.toStdString();
    }
}

} // namespace
