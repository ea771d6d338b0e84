// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/WaylandKeyboard.h"

#include <QChar>
#include <array>
#include <utility>
#include <xkbcommon/xkbcommon.h>

namespace lumatide {

namespace {

// Wayland's key codes are the kernel's; xkb's are offset by 8, as in X11.
constexpr std::uint32_t xkbOffset = 8;

// The keys a text field acts on beyond the characters they type.
constexpr std::array<std::pair<xkb_keysym_t, Qt::Key>, 22> namedKeys{{
    {XKB_KEY_Return, Qt::Key_Return},
    {XKB_KEY_KP_Enter, Qt::Key_Enter},
    {XKB_KEY_BackSpace, Qt::Key_Backspace},
    {XKB_KEY_Delete, Qt::Key_Delete},
    {XKB_KEY_KP_Delete, Qt::Key_Delete},
    {XKB_KEY_Left, Qt::Key_Left},
    {XKB_KEY_Right, Qt::Key_Right},
    {XKB_KEY_KP_Left, Qt::Key_Left},
    {XKB_KEY_KP_Right, Qt::Key_Right},
    {XKB_KEY_Home, Qt::Key_Home},
    {XKB_KEY_End, Qt::Key_End},
    {XKB_KEY_KP_Home, Qt::Key_Home},
    {XKB_KEY_KP_End, Qt::Key_End},
    {XKB_KEY_Escape, Qt::Key_Escape},
    {XKB_KEY_Tab, Qt::Key_Tab},
    {XKB_KEY_ISO_Left_Tab, Qt::Key_Backtab},
    {XKB_KEY_Up, Qt::Key_Up},
    {XKB_KEY_Down, Qt::Key_Down},
    {XKB_KEY_Shift_L, Qt::Key_Shift},
    {XKB_KEY_Control_L, Qt::Key_Control},
    {XKB_KEY_Alt_L, Qt::Key_Alt},
    {XKB_KEY_Super_L, Qt::Key_Meta},
}};

int qtKeyFor(xkb_keysym_t symbol) {
    for (const auto& [known, key] : namedKeys) {
        if (known == symbol) {
            return key;
        }
    }
    switch (symbol) {
    case XKB_KEY_Shift_R:
        return Qt::Key_Shift;
    case XKB_KEY_Control_R:
        return Qt::Key_Control;
    case XKB_KEY_Alt_R:
    case XKB_KEY_ISO_Level3_Shift:
        return Qt::Key_Alt;
    case XKB_KEY_Super_R:
        return Qt::Key_Meta;
    default:
        break;
    }
    // A character key: Qt names it by its upper-case character (Key_A for "a" and "A").
    const std::uint32_t character = xkb_keysym_to_utf32(symbol);
    if (character >= 0x20 && character != 0x7f) {
        return static_cast<int>(QChar::toUpper(character));
    }
    return Qt::Key_unknown;
}

} // namespace

WaylandKeyboard::WaylandKeyboard(std::function<void(const LayerKey&)> onKey)
    : onKey_(std::move(onKey)), context_(xkb_context_new(XKB_CONTEXT_NO_FLAGS)) {
    repeatTimer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&repeatTimer_, &QTimer::timeout, [this] {
        repeatTimer_.setInterval(1000 / std::max(repeatRate_, 1));
        LayerKey repeated = translate(repeatingCode_, true);
        repeated.autoRepeat = true;
        onKey_(repeated);
    });
}

WaylandKeyboard::~WaylandKeyboard() {
    xkb_state_unref(state_);
    xkb_keymap_unref(keymap_);
    xkb_context_unref(context_);
}

bool WaylandKeyboard::setKeymap(const char* text, std::size_t length) {
    if (context_ == nullptr) {
        return false;
    }
    // The compositor's text ends in a NUL that xkb does not want counted.
    while (length > 0 && text[length - 1] == '\0') {
        --length;
    }
    return adopt(xkb_keymap_new_from_buffer(context_, text, length, XKB_KEYMAP_FORMAT_TEXT_V1,
                                            XKB_KEYMAP_COMPILE_NO_FLAGS));
}

bool WaylandKeyboard::setKeymapByLayout(const char* layout) {
    if (context_ == nullptr) {
        return false;
    }
    const xkb_rule_names names{nullptr, nullptr, layout, nullptr, nullptr};
    return adopt(xkb_keymap_new_from_names(context_, &names, XKB_KEYMAP_COMPILE_NO_FLAGS));
}

bool WaylandKeyboard::adopt(xkb_keymap* keymap) {
    if (keymap == nullptr) {
        return false;
    }
    stopRepeat();
    xkb_state_unref(state_);
    xkb_keymap_unref(keymap_);
    keymap_ = keymap;
    state_ = xkb_state_new(keymap_);
    return state_ != nullptr;
}

void WaylandKeyboard::setModifiers(std::uint32_t depressed, std::uint32_t latched,
                                   std::uint32_t locked, std::uint32_t group) {
    if (state_ != nullptr) {
        xkb_state_update_mask(state_, depressed, latched, locked, 0, 0, group);
    }
}

void WaylandKeyboard::setRepeat(int rate, int delayMs) {
    repeatRate_ = std::max(rate, 0);
    repeatDelayMs_ = std::max(delayMs, 0);
    if (repeatRate_ == 0) {
        stopRepeat();
    }
}

LayerKey WaylandKeyboard::translate(std::uint32_t code, bool pressed) const {
    LayerKey key;
    key.pressed = pressed;
    if (state_ == nullptr) {
        return key;
    }
    const xkb_keycode_t xkbCode = code + xkbOffset;
    key.key = qtKeyFor(xkb_state_key_get_one_sym(state_, xkbCode));
    const auto active = [this](const char* name) {
        return xkb_state_mod_name_is_active(state_, name, XKB_STATE_MODS_EFFECTIVE) > 0;
    };
    if (active(XKB_MOD_NAME_SHIFT)) {
        key.modifiers |= Qt::ShiftModifier;
    }
    if (active(XKB_MOD_NAME_CTRL)) {
        key.modifiers |= Qt::ControlModifier;
    }
    if (active(XKB_MOD_NAME_ALT)) {
        key.modifiers |= Qt::AltModifier;
    }
    if (active(XKB_MOD_NAME_LOGO)) {
        key.modifiers |= Qt::MetaModifier;
    }
    // Control characters (Return's "\r", Control+A's "\x01") are no text to type.
    char text[16] = {};
    xkb_state_key_get_utf8(state_, xkbCode, text, sizeof text);
    const QString typed = QString::fromUtf8(text);
    if (!typed.isEmpty() && typed.front().isPrint()) {
        key.text = typed;
    }
    return key;
}

void WaylandKeyboard::key(std::uint32_t code, bool pressed) {
    const LayerKey translated = translate(code, pressed);
    if (pressed && repeatRate_ > 0 && keymap_ != nullptr &&
        xkb_keymap_key_repeats(keymap_, code + xkbOffset) != 0) {
        repeatingCode_ = code;
        repeatTimer_.start(repeatDelayMs_);
    } else if (!pressed && code == repeatingCode_) {
        stopRepeat();
    }
    onKey_(translated);
}

void WaylandKeyboard::stopRepeat() {
    repeatTimer_.stop();
    repeatingCode_ = 0;
}

} // namespace lumatide
