// Any program path either is refused or comes back unchanged when its Exec value is read the
// way a desktop reads it: string escapes first, then %% field codes, then the quoted argument.
#include "FuzzSupport.h"
#include "linux/DesktopEntryExec.h"

#include <cstdlib>
#include <optional>

using namespace lumatide;

namespace {

std::optional<QString> undoStringEscapes(const QString& value) {
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\') {
            out.append(value[i]);
            continue;
        }
        if (++i == value.size()) {
            return std::nullopt;
        }
        switch (value[i].unicode()) {
        case u'\\':
            out.append(u'\\');
            break;
        case u's':
            out.append(u' ');
            break;
        case u'n':
            out.append(u'\n');
            break;
        case u't':
            out.append(u'\t');
            break;
        case u'r':
            out.append(u'\r');
            break;
        default:
            return std::nullopt;
        }
    }
    return out;
}

// The single double-quoted argument of an Exec line, field codes already undone.
std::optional<QString> unquote(const QString& line) {
    if (line.size() < 2 || line.front() != u'"' || line.back() != u'"') {
        return std::nullopt;
    }
    QString out;
    for (qsizetype i = 1; i + 1 < line.size(); ++i) {
        QChar c = line[i];
        if (c == u'"' || c == u'`' || c == u'$') {
            return std::nullopt; // must have been escaped
        }
        if (c == u'\\') {
            c = line[++i];
            if (i + 1 >= line.size() || (c != u'"' && c != u'`' && c != u'$' && c != u'\\')) {
                return std::nullopt;
            }
        }
        out.append(c);
    }
    return out;
}

std::optional<QString> undoFieldCodes(const QString& line) {
    QString out;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == u'%') {
            if (i + 1 == line.size() || line[i + 1] != u'%') {
                return std::nullopt; // a field code would be expanded
            }
            ++i;
        }
        out.append(line[i]);
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
    const std::optional<QString> unfielded = line ? undoFieldCodes(*line) : std::nullopt;
    const std::optional<QString> argument = unfielded ? unquote(*unfielded) : std::nullopt;
    if (!argument || *argument != program) {
        std::abort();
    }
    return 0;
}
