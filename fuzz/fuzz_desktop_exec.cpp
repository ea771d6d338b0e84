// SPDX-License-Identifier: GPL-3.0-or-later
// Any program path either is refused or comes back unchanged when its Exec value is read the
// way a desktop reads it: string escapes first, then %% field codes, then the quoted argument.
#include "FuzzSupport.h"
#include "linux/DesktopEntryExec.h"

#include <cstdlib>
#include <optional>

using namespace lumatide;

namespace {

// The string escapes of a desktop file value: \\, \s, \n, \t and \r.
std::optional<QString> undoStringEscapes(const QString& value) {
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\') {
            out.append(value[i]);
            continue;
        }
        const qsizetype code = ++i < value.size() ? QStringView(u"\\sntr").indexOf(value[i]) : -1;
        if (code < 0) {
            return std::nullopt;
        }
        out.append(QStringView(u"\\ \n\t\r")[code]);
    }
    return out;
}

// The single double-quoted argument of an Exec line. Field codes and quoting are undone in one
// pass: "%%" is a percent sign and any other % a field code a desktop would expand; a
// backslash escapes one of " ` $ \ and those four are not allowed unescaped.
std::optional<QString> argumentOf(const QString& line) {
    if (line.size() < 2 || line.front() != u'"' || line.back() != u'"') {
        return std::nullopt;
    }
    QString out;
    for (qsizetype i = 1; i + 1 < line.size(); ++i) {
        QChar c = line[i];
        if (c == u'%' || c == u'\\') {
            const QChar next = i + 2 < line.size() ? line[++i] : QChar();
            if (c == u'%' ? next != u'%' : !QStringView(u"\"`$\\").contains(next)) {
                return std::nullopt;
            }
            c = next;
        } else if (QStringView(u"\"`$").contains(c)) {
            return std::nullopt;
        }
        out.append(c);
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString program = fuzzText(data, size);
    const std::optional<QString> value = desktopEntryExecValue(program);
    if (!value) {
        return 0;
    }
    if (value->contains(u'\n') || value->contains(u'\r')) {
        std::abort();
    }
    const std::optional<QString> line = undoStringEscapes(*value);
    const std::optional<QString> argument = line ? argumentOf(*line) : std::nullopt;
    if (!argument || *argument != program) {
        std::abort();
    }
    return 0;
}
