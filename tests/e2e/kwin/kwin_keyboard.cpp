// SPDX-License-Identifier: GPL-3.0-or-later
// A keyboard for the KWin end-to-end tests, through KWin's fake input: one device for a whole
// test, driven by lines on stdin until it closes:
//   type <text>     each character pressed and released, with Shift where a US layout needs it
//   key <keys>      one key by its name, modifiers first: Return, BackSpace, alt+Tab, alt+F4
//   sleep <seconds>
// Each line is answered on stdout with "ok" once KWin has handled it (a round trip), or with
// "error: <why>". KWin takes Linux key codes and reads them through its own keymap (US in the
// test session), and works out the modifiers itself, so a modifier is just another key here.
// KWin offers fake input only to programs a desktop file vouches for (see CMakeLists.txt).
#include "fake-input-client-protocol.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <vector>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

// The interface table as wayland-scanner writes it (C); the header above gives it external
// linkage.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpedantic"
#pragma GCC diagnostic ignored "-Wold-style-cast"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wattributes"
extern "C" {
#include "fake-input-protocol.c"
}
#pragma GCC diagnostic pop

namespace {

// keyboard_key came with version 4.
constexpr std::uint32_t keyboardVersion = 4;
// xkb numbers keys 8 above the Linux key codes.
constexpr std::uint32_t evdevOffset = 8;

void announce(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
              std::uint32_t version) {
    if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 &&
        version >= keyboardVersion) {
        *static_cast<org_kde_kwin_fake_input**>(data) = static_cast<org_kde_kwin_fake_input*>(
            wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, keyboardVersion));
    }
}

void forget(void*, wl_registry*, std::uint32_t) {
}

constexpr wl_registry_listener registryListener{&announce, &forget};

// A key with the symbol on its first or second (Shift) level, and whether Shift is needed.
struct Place {
    std::uint32_t code;
    bool shift;
};

std::optional<Place> findSymbol(xkb_keymap* keymap, xkb_keysym_t symbol) {
    for (xkb_keycode_t code = xkb_keymap_min_keycode(keymap);
         code <= xkb_keymap_max_keycode(keymap); ++code) {
        for (xkb_level_index_t level = 0; level < 2; ++level) {
            const xkb_keysym_t* symbols = nullptr;
            if (xkb_keymap_key_get_syms_by_level(keymap, code, 0, level, &symbols) == 1 &&
                symbols[0] == symbol && code >= evdevOffset) {
                return Place{code - evdevOffset, level == 1};
            }
        }
    }
    return std::nullopt;
}

xkb_keysym_t namedSymbol(const std::string& name, bool modifier) {
    if (modifier) {
        if (name == "shift") {
            return XKB_KEY_Shift_L;
        }
        if (name == "ctrl") {
            return XKB_KEY_Control_L;
        }
        if (name == "alt") {
            return XKB_KEY_Alt_L;
        }
        if (name == "super") {
            return XKB_KEY_Super_L;
        }
        return XKB_KEY_NoSymbol;
    }
    return xkb_keysym_from_name(name.c_str(), XKB_KEYSYM_NO_FLAGS);
}

class Keyboard {
public:
    Keyboard(wl_display* display, org_kde_kwin_fake_input* input, xkb_keymap* keymap)
        : display_(display), input_(input), keymap_(keymap) {}

    // The answer to one command: empty when it was done, else why not.
    std::string run(const std::string& verb, const std::string& argument) {
        if (verb == "type") {
            for (const char character : argument) {
                const auto place =
                    character > 0
                        ? findSymbol(keymap_, xkb_utf32_to_keysym(static_cast<char32_t>(character)))
                        : std::nullopt;
                if (!place) {
                    return "no key types the byte " +
                           std::to_string(static_cast<unsigned char>(character));
                }
                std::vector<std::uint32_t> codes;
                if (place->shift) {
                    codes.push_back(findSymbol(keymap_, XKB_KEY_Shift_L)->code);
                }
                codes.push_back(place->code);
                if (!chord(codes)) {
                    return "KWin closed the connection";
                }
            }
            return {};
        }
        if (verb == "key") {
            std::vector<std::uint32_t> codes;
            std::size_t start = 0;
            while (start <= argument.size()) {
                const auto end = std::min(argument.find('+', start), argument.size());
                const std::string name = argument.substr(start, end - start);
                start = end + 1;
                const auto place = findSymbol(keymap_, namedSymbol(name, end != argument.size()));
                if (!place) {
                    return "no key named '" + name + "'";
                }
                codes.push_back(place->code);
            }
            return chord(codes) ? std::string() : "KWin closed the connection";
        }
        if (verb == "sleep") {
            char* end = nullptr;
            const double seconds = std::strtod(argument.c_str(), &end);
            if (end == argument.c_str() || *end != '\0' || !(seconds >= 0 && seconds <= 60)) {
                return "not a number of seconds: '" + argument + "'";
            }
            std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
            return {};
        }
        return "unknown command '" + verb + "'";
    }

private:
    // Presses the keys in order and releases them in reverse, then waits for KWin.
    bool chord(const std::vector<std::uint32_t>& codes) {
        for (const std::uint32_t code : codes) {
            org_kde_kwin_fake_input_keyboard_key(input_, code, WL_KEYBOARD_KEY_STATE_PRESSED);
        }
        for (auto code = codes.rbegin(); code != codes.rend(); ++code) {
            org_kde_kwin_fake_input_keyboard_key(input_, *code, WL_KEYBOARD_KEY_STATE_RELEASED);
        }
        return wl_display_roundtrip(display_) >= 0;
    }

    wl_display* display_;
    org_kde_kwin_fake_input* input_;
    xkb_keymap* keymap_;
};

} // namespace

int main() {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "kwin_keyboard: no Wayland display\n");
        return 1;
    }
    org_kde_kwin_fake_input* input = nullptr;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, &input);
    wl_display_roundtrip(display);
    if (input == nullptr) {
        std::fprintf(stderr, "kwin_keyboard: KWin offers this program no fake keyboard\n");
        return 1;
    }
    // KWin ignores every request of a device until it has been told who asks and why.
    org_kde_kwin_fake_input_authenticate(input, "lumatide tests", "typing in end-to-end tests");
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    const xkb_rule_names names{nullptr, nullptr, "us", nullptr, nullptr};
    xkb_keymap* keymap =
        context ? xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS) : nullptr;
    if (keymap == nullptr || wl_display_roundtrip(display) < 0) {
        std::fprintf(stderr, "kwin_keyboard: no US layout, or KWin refused the keyboard\n");
        return 1;
    }

    Keyboard keyboard(display, input, keymap);
    std::string line;
    while (std::getline(std::cin, line)) {
        const auto space = line.find(' ');
        const std::string failure = keyboard.run(
            line.substr(0, space), space == std::string::npos ? "" : line.substr(space + 1));
        std::cout << (failure.empty() ? "ok" : "error: " + failure) << std::endl;
        if (wl_display_get_error(display) != 0) {
            return 1;
        }
    }
    org_kde_kwin_fake_input_destroy(input);
    wl_display_roundtrip(display);
    xkb_keymap_unref(keymap);
    xkb_context_unref(context);
    wl_display_disconnect(display);
    return 0;
}
