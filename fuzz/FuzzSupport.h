// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>

namespace lumatide {

// The fuzzer's bytes as text the way the program meets them: UTF-8, invalid sequences replaced.
inline QString fuzzText(const std::uint8_t* data, std::size_t size) {
    return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

} // namespace lumatide
