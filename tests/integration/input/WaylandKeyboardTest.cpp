// SPDX-License-Identifier: GPL-3.0-or-later
// A compositor's keys as the passcode field gets them: layouts, modifiers, text, and the key
// repeat the program does itself on Wayland.

#include "linux/WaylandKeyboard.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstring>
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>
#include <vector>
#include <xkbcommon/xkbcommon.h>

namespace lumatide::test {
namespace {

// The modifier mask the compositor would send for these xkb modifier names.
std::uint32_t maskOf(const char* layout, std::initializer_list<const char*> names) {
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    const xkb_rule_names rules{nullptr, nullptr, layout, nullptr, nullptr};
    xkb_keymap* keymap = xkb_keymap_new_from_names(context, &rules, XKB_KEYMAP_COMPILE_NO_FLAGS);
    std::uint32_t mask = 0;
    for (const char* name : names) {
        mask |= 1U << xkb_keymap_mod_get_index(keymap, name);
    }
    xkb_keymap_unref(keymap);
    xkb_context_unref(context);
    return mask;
}

TEST(WaylandKeyboard, TranslatesKeysThroughTheCompositorsLayoutAndModifiers) {
    struct Case {
        const char* layout;
        std::uint32_t code;
        std::initializer_list<const char*> modifiers;
        int key;
        Qt::KeyboardModifiers qtModifiers;
        QString text;
    };
    const Case cases[] = {
        {"us", KEY_A, {}, Qt::Key_A, {}, QStringLiteral("a")},
        {"us", KEY_A, {XKB_MOD_NAME_SHIFT}, Qt::Key_A, Qt::ShiftModifier, QStringLiteral("A")},
        {"us", KEY_2, {}, Qt::Key_2, {}, QStringLiteral("2")},
        {"us", KEY_2, {XKB_MOD_NAME_SHIFT}, Qt::Key_At, Qt::ShiftModifier, QStringLiteral("@")},
        // Control characters are no text: Control+A selects, it does not type.
        {"us", KEY_A, {XKB_MOD_NAME_CTRL}, Qt::Key_A, Qt::ControlModifier, QString()},
        {"us", KEY_D, {XKB_MOD_NAME_LOGO}, Qt::Key_D, Qt::MetaModifier, QStringLiteral("d")},
        {"us", KEY_ENTER, {}, Qt::Key_Return, {}, QString()},
        {"us", KEY_KPENTER, {}, Qt::Key_Enter, {}, QString()},
        {"us", KEY_BACKSPACE, {}, Qt::Key_Backspace, {}, QString()},
        {"us", KEY_ESC, {}, Qt::Key_Escape, {}, QString()},
        {"us", KEY_LEFT, {}, Qt::Key_Left, {}, QString()},
        // Caps Lock is a locked modifier, not a depressed one.
        {"us", KEY_Q, {XKB_MOD_NAME_CAPS}, Qt::Key_Q, {}, QStringLiteral("Q")},
        // The user's layout, not the key's position: a German keyboard swaps Y and Z.
        {"de", KEY_Y, {}, Qt::Key_Z, {}, QStringLiteral("z")},
        {"de", KEY_APOSTROPHE, {}, 0xc4, {}, QStringLiteral("ä")},
        {"ru", KEY_F, {}, 0x410, {}, QStringLiteral("а")},
    };
    for (const Case& c : cases) {
        WaylandKeyboard keyboard([](const LayerKey&) {});
        ASSERT_TRUE(keyboard.setKeymapByLayout(c.layout)) << c.layout;
        const std::uint32_t mask = maskOf(c.layout, c.modifiers);
        const bool caps =
            c.modifiers.size() == 1 && std::strcmp(*c.modifiers.begin(), XKB_MOD_NAME_CAPS) == 0;
        keyboard.setModifiers(caps ? 0 : mask, 0, caps ? mask : 0, 0);
        const LayerKey key = keyboard.translate(c.code, true);
        EXPECT_EQ(key.key, c.key) << c.layout << " " << c.code;
        EXPECT_EQ(key.modifiers, c.qtModifiers) << c.layout << " " << c.code;
        EXPECT_EQ(key.text, c.text) << c.layout << " " << c.code;
    }
}

TEST(WaylandKeyboard, RepeatsAHeldKeyUntilReleasedOrTheFocusLeaves) {
    std::vector<LayerKey> keys;
    WaylandKeyboard keyboard([&keys](const LayerKey& key) { keys.push_back(key); });
    ASSERT_TRUE(keyboard.setKeymapByLayout("us"));
    keyboard.setRepeat(100, 30);
    const auto waitFor = [&keys](std::size_t count) {
        QElapsedTimer waited;
        waited.start();
        while (keys.size() < count && waited.elapsed() < 2000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        }
    };
    for (const bool releaseIt : {true, false}) {
        keys.clear();
        keyboard.key(KEY_BACKSPACE, true);
        waitFor(4);
        ASSERT_GE(keys.size(), 4U);
        EXPECT_FALSE(keys.front().autoRepeat);
        EXPECT_TRUE(keys.back().autoRepeat);
        EXPECT_EQ(keys.back().key, Qt::Key_Backspace);
        if (releaseIt) {
            keyboard.key(KEY_BACKSPACE, false);
        } else {
            keyboard.stopRepeat();
        }
        const std::size_t after = keys.size();
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 100) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        }
        EXPECT_EQ(keys.size(), after) << (releaseIt ? "after the release" : "after a leave");
    }
    // Modifiers do not repeat, and a rate of 0 turns repeating off.
    keys.clear();
    keyboard.key(KEY_LEFTSHIFT, true);
    keyboard.setRepeat(0, 30);
    keyboard.key(KEY_A, true);
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 100) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
    EXPECT_EQ(keys.size(), 2U);
}

} // namespace
} // namespace lumatide::test
