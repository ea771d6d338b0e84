// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/HistoryLine.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QLocale>
#include <QRegularExpression>
#include <array>
#include <cmath>
#include <utility>

using namespace Qt::StringLiterals;

namespace lumatide {

namespace {

constexpr std::array<std::pair<HistoryEventKind, QLatin1StringView>, 5> kindNames{{
    {HistoryEventKind::rest, "rest"_L1},
    {HistoryEventKind::postponement, "postponement"_L1},
    {HistoryEventKind::idleReset, "idle_reset"_L1},
    {HistoryEventKind::restart, "restart"_L1},
    {HistoryEventKind::temporaryQuit, "quit"_L1},
}};

QLatin1StringView kindName(HistoryEventKind kind) {
    for (const auto& [known, name] : kindNames) {
        if (known == kind) {
            return name;
        }
    }
    return "rest"_L1;
}

// A JSON string. Characters outside ASCII go out as UTF-8, except a lone surrogate, which
// UTF-8 cannot carry: it is escaped so that the text reads back exactly as it was.
void appendString(QByteArray& out, QStringView text) {
    out += '"';
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const bool pairStart = QChar::isHighSurrogate(c) && i + 1 < text.size() &&
                               QChar::isLowSurrogate(text[i + 1].unicode());
        if (pairStart) {
            out += text.mid(i, 2).toUtf8();
            ++i;
        } else if (c == u'"' || c == u'\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == u'\n') {
            out += "\\n";
        } else if (c < 0x20 || QChar::isSurrogate(c)) {
            out += "\\u" + QByteArray::number(c, 16).rightJustified(4, '0');
        } else {
            out += QStringView(text.data() + i, 1).toUtf8();
        }
    }
    out += '"';
}

// The shortest text that reads back as the same number.
QByteArray number(double value) {
    return QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
}

// Only the form historyLine writes: seconds, and an explicit offset ("Z" being zero).
const QRegularExpression timePattern(uR"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d(Z|[+-]\d\d:\d\d)$)"_s);

std::optional<QDateTime> parseTime(const QJsonValue& value) {
    const QString text = value.toString();
    if (!timePattern.match(text).hasMatch()) {
        return std::nullopt;
    }
    const QDateTime at = QDateTime::fromString(text, Qt::ISODate);
    if (!at.isValid()) {
        return std::nullopt;
    }
    return at;
}

std::optional<double> parseSeconds(const QJsonValue& value) {
    if (!value.isDouble()) {
        return std::nullopt;
    }
    const double seconds = value.toDouble();
    // The comparisons are false for NaN, so it is refused too.
    if (!(seconds >= 0 && seconds <= maxHistorySeconds)) {
        return std::nullopt;
    }
    return seconds;
}

} // namespace

QByteArray historyLine(const HistoryEvent& event) {
    const QDateTime at = event.at.toOffsetFromUtc(event.at.offsetFromUtc());
    // The names and the time are plain ASCII, nothing to escape.
    QByteArray line = "{\"event\":\"";
    line += kindName(event.kind).latin1();
    line += "\",\"at\":\"" + at.toString(Qt::ISODate).toLatin1() + '"';
    if (event.kind == HistoryEventKind::rest) {
        line += ",\"planned\":" + number(event.plannedSeconds);
        line += ",\"rested\":" + number(event.restedSeconds);
        line += event.ending == RestEnding::passcode ? ",\"ended\":\"passcode\""
                                                     : ",\"ended\":\"time\"";
        line += ",\"activity\":";
        appendString(line, event.activity);
    }
    line += "}\n";
    return line;
}

std::optional<HistoryEvent> parseHistoryLine(QByteArrayView line) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(line.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return std::nullopt;
    }
    const QJsonObject object = document.object();
    HistoryEvent event;
    const QJsonValue kind = object.value("event"_L1);
    bool knownKind = false;
    for (const auto& [known, name] : kindNames) {
        if (kind.isString() && kind.toString() == name) {
            event.kind = known;
            knownKind = true;
        }
    }
    const std::optional<QDateTime> at = parseTime(object.value("at"_L1));
    if (!knownKind || !at) {
        return std::nullopt;
    }
    event.at = *at;
    if (event.kind != HistoryEventKind::rest) {
        return event;
    }
    const std::optional<double> planned = parseSeconds(object.value("planned"_L1));
    const std::optional<double> rested = parseSeconds(object.value("rested"_L1));
    const QJsonValue ended = object.value("ended"_L1);
    const QJsonValue activity = object.value("activity"_L1);
    if (!planned || !rested || !activity.isString()) {
        return std::nullopt;
    }
    if (ended.isString() && ended.toString() == "time"_L1) {
        event.ending = RestEnding::time;
    } else if (ended.isString() && ended.toString() == "passcode"_L1) {
        event.ending = RestEnding::passcode;
    } else {
        return std::nullopt;
    }
    event.plannedSeconds = *planned;
    event.restedSeconds = *rested;
    event.activity = activity.toString();
    return event;
}

QDate historyDay(const HistoryEvent& event) {
    return event.at.date();
}

} // namespace lumatide
