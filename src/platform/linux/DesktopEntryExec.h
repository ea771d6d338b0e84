// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

namespace lumatide {

// The value of an Exec key that starts `program` with no arguments, written as the Desktop
// Entry rules require: the path as one double-quoted argument (", `, $ and \ escaped with a
// backslash), every % doubled so it is not read as a field code, and then every backslash
// doubled again because Exec is a string value whose own escapes are undone first.
// Nothing for a path that no entry can carry safely: empty, or holding a line break or any
// other control character.
std::optional<QString> desktopEntryExecValue(const QString& program);

} // namespace lumatide
