#pragma once

#include <QString>
#include <ostream>

// Lets failure messages show texts as UTF-8 rather than as arrays of code units.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
