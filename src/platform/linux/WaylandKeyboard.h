// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/PanelLayers.h"

#include <QTimer>
#include <cstdint>
#include <functional>

struct xkb_context;
struct xkb_keymap;
struct xkb_state;

namespace lumatide {

// A Wayland keyboard's keys as the program's key events: the compositor's keymap and modifier
// state through xkbcommon, and the key repeat the compositor asks for (Wayland leaves repeating
// to the client).
class WaylandKeyboard final {
public:
    explicit WaylandKeyboard(std::function<void(const LayerKey&)> onKey);
    ~WaylandKeyboard();
    WaylandKeyboard(const WaylandKeyboard&) = delete;
    WaylandKeyboard& operator=(const WaylandKeyboard&) = delete;

    // The keymap in xkb's text form, as the compositor sends it; false when it is unusable.
    bool setKeymap(const char* text, std::size_t length);
    // A keymap from rule names ("us", "de"...), for tests.
    bool setKeymapByLayout(const char* layout);
    void setModifiers(std::uint32_t depressed, std::uint32_t latched, std::uint32_t locked,
                      std::uint32_t group);
    // Characters per second and the delay before the first repeat; a rate of 0 turns it off.
    void setRepeat(int rate, int delayMs);
    // An evdev key code, pressed or released: reported through the callback.
    void key(std::uint32_t code, bool pressed);
    // The keyboard went to another surface: no key goes on repeating.
    void stopRepeat();

    // What a key would report now (no repeat started).
    LayerKey translate(std::uint32_t code, bool pressed) const;

private:
    // Takes the keymap (null: a failed compile) with a fresh state; false when unusable.
    bool adopt(xkb_keymap* keymap);

    std::function<void(const LayerKey&)> onKey_;
    xkb_context* context_ = nullptr;
    xkb_keymap* keymap_ = nullptr;
    xkb_state* state_ = nullptr;
    int repeatRate_ = 25;
    int repeatDelayMs_ = 600;
    std::uint32_t repeatingCode_ = 0;
    QTimer repeatTimer_;
};

} // namespace lumatide
