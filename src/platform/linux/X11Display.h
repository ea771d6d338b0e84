// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <memory>

struct _XDisplay; // NOLINT(bugprone-reserved-identifier): Xlib's own name for Display

namespace lumatide {

// An Xlib connection of the program's own, independent of the toolkit's, so the probes work
// before any window exists and never disturb the toolkit's event handling. Kept open for the
// life of its owner: opening a connection costs far more than a request on it.
class X11Display final {
public:
    // Connects to the named display, or to $DISPLAY for an empty name; nothing when that fails.
    static std::unique_ptr<X11Display> open(const QByteArray& displayName = {});

    ~X11Display();
    X11Display(const X11Display&) = delete;
    X11Display& operator=(const X11Display&) = delete;

    _XDisplay* get() const { return display_; }

private:
    explicit X11Display(_XDisplay* display) : display_(display) {}

    _XDisplay* display_;
};

} // namespace lumatide
