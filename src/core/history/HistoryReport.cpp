// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/HistoryReport.h"

#include "content/HistoryTexts.h"
#include "content/TextFormat.h"
#include "history/DisplayWidth.h"
#include "history/HistoryReading.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QStringList>
#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace lumatide {

namespace {

QLocale localeOf(AppLanguage language) {
    switch (language) {
    case AppLanguage::simplifiedChinese:
        return QLocale(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China);
    case AppLanguage::japanese:
        return QLocale(QLocale::Japanese, QLocale::Japan);
    case AppLanguage::korean:
        return QLocale(QLocale::Korean, QLocale::SouthKorea);
    case AppLanguage::spanish:
        return QLocale(QLocale::Spanish, QLocale::Spain);
    case AppLanguage::french:
        return QLocale(QLocale::French, QLocale::France);
    case AppLanguage::german:
        return QLocale(QLocale::German, QLocale::Germany);
    case AppLanguage::english:
        break;
    }
    return QLocale(QLocale::English, QLocale::UnitedStates);
}

QStringList numbers(const HistoryCounts& counts) {
    const auto text = [](qint64 value) { return QString::number(value); };
    return {text(counts.rests),           text(counts.endedByTime),   text(counts.endedByPasscode),
            text(counts.minutesRested()), text(counts.postponements), text(counts.idleResets),
            text(counts.restarts),        text(counts.quits)};
}

QString padded(const QString& text, qsizetype width, bool right) {
    const QString fill(std::max<qsizetype>(0, width - displayWidth(text)), u' ');
    return right ? fill + text : text + fill;
}

QJsonObject countsObject(const HistoryCounts& counts) {
    return {{u"rests"_s, counts.rests},
            {u"endedByTime"_s, counts.endedByTime},
            {u"endedByPasscode"_s, counts.endedByPasscode},
            {u"minutesRested"_s, counts.minutesRested()},
            {u"secondsRested"_s, counts.secondsRested},
            {u"postponements"_s, counts.postponements},
            {u"idleResets"_s, counts.idleResets},
            {u"restarts"_s, counts.restarts},
            {u"quits"_s, counts.quits}};
}

} // namespace

QString historyTable(const HistorySummary& summary, AppLanguage language) {
    const HistoryTexts texts = HistoryTexts::forLanguage(language);
    const QLocale locale = localeOf(language);
    std::vector<QStringList> rows;
    rows.push_back({texts.date, texts.rests, texts.endedByTime, texts.endedByPasscode,
                    texts.minutesRested, texts.postponements, texts.idleResets, texts.restarts,
                    texts.quits});
    for (const HistoryDay& day : summary.days) {
        const QString date = day.date.toString(u"yyyy-MM-dd"_s) + u' ' +
                             locale.dayName(day.date.dayOfWeek(), QLocale::ShortFormat);
        rows.push_back(QStringList{date} + numbers(day.counts));
    }
    rows.push_back(QStringList{texts.total} + numbers(summary.total));

    std::vector<qsizetype> widths(rows.front().size(), 0);
    for (const QStringList& row : rows) {
        for (qsizetype column = 0; column < row.size(); ++column) {
            auto& width = widths[static_cast<std::size_t>(column)];
            width = std::max(width, displayWidth(row[column]));
        }
    }
    const qsizetype days = static_cast<qsizetype>(summary.days.size());
    QString table = (days == 1 ? texts.titleOneDay : formatText(texts.title, days)) + u"\n\n"_s;
    for (const QStringList& row : rows) {
        QStringList cells;
        for (qsizetype column = 0; column < row.size(); ++column) {
            // The date column reads from the left; the numbers line up on their last digit.
            cells += padded(row[column], widths[static_cast<std::size_t>(column)], column > 0);
        }
        table += cells.join(u"  "_s) + u'\n';
    }
    return table;
}

QByteArray historyJson(const HistorySummary& summary) {
    QJsonArray days;
    for (const HistoryDay& day : summary.days) {
        QJsonObject object = countsObject(day.counts);
        object.insert(u"date"_s, day.date.toString(Qt::ISODate));
        days.append(object);
    }
    const QJsonObject report{{u"days"_s, days}, {u"total"_s, countsObject(summary.total)}};
    // Indented output already ends in a newline.
    return QJsonDocument(report).toJson(QJsonDocument::Indented);
}

int printHistory(const QString& path, QDate today, int days, bool json, AppLanguage language,
                 QTextStream& out, QTextStream& err) {
    const HistoryRead read = readHistory(path);
    if (!read.error.isEmpty()) {
        err << u"lumatide: the history of rests cannot be read from %1: %2"_s.arg(path, read.error)
            << '\n';
        err.flush();
        return 1;
    }
    const HistorySummary summary = summarizeHistory(read.events, today, days);
    if (json) {
        out << QString::fromUtf8(historyJson(summary));
    } else {
        out << historyTable(summary, language);
    }
    out.flush();
    return 0;
}

} // namespace lumatide
