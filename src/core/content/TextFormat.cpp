// SPDX-License-Identifier: GPL-3.0-or-later
#include "content/TextFormat.h"

namespace lumatide {

namespace {

// One left-to-right pass, so a substituted value is never scanned for placeholders again.
// A faulty text (a placeholder repeated, an unknown "%x", a trailing "%", "%@" with no
// string to give) is shown as far as possible rather than read past its arguments: every
// "%d" gets the number, every "%@" the string, and anything unknown stays as written.
QString fill(const QString& format, long long number, const QString* text) {
    const QString numberText = QString::number(number);
    QString result;
    result.reserve(format.size() + numberText.size() + (text != nullptr ? text->size() : 0));
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar ch = format.at(i);
        if (ch != u'%' || i + 1 == format.size()) {
            result.append(ch);
            continue;
        }
        const QChar next = format.at(i + 1);
        if (next == u'd') {
            result.append(numberText);
            ++i;
        } else if (next == u'%') {
            result.append(u'%');
            ++i;
        } else if (next == u'@' && text != nullptr) {
            result.append(*text);
            ++i;
        } else {
            result.append(ch);
        }
    }
    return result;
}

} // namespace

QString formatText(const QString& format, long long number) {
    return fill(format, number, nullptr);
}

QString formatText(const QString& format, long long number, const QString& text) {
    return fill(format, number, &text);
}

} // namespace lumatide
