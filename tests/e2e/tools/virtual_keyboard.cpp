// SPDX-License-Identifier: GPL-3.0-or-later
// A keyboard for the Wayland end-to-end tests: one virtual keyboard on the compositor's seat
// (KWin: its fake input, which it offers only to programs a desktop file vouches for), made
// once with a US layout and driven by lines on stdin until it closes:
//   type <text>     each character pressed and released, with Shift where the layout needs it
//   key <keys>      one key by its name, modifiers first: Return, BackSpace, alt+Tab, ctrl+c
//   sleep <seconds>
// Each line is answered on stdout with "ok" once the compositor has handled it (a round trip),
// or with "error: <why>". One keyboard for the whole test: a compositor may move the focus when
// a keyboard appears, so a keyboard per command would change what the test looks at. Start it
// before the windows it types into: a window learns that the seat has a keyboard only after a
// round trip of its own, and a key sent before that is lost.
#include "fake-input-client-protocol.h"
#include "virtual-keyboard-unstable-v1-client-protocol.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <sys/mman.h>
#include <thread>
#include <unistd.h>
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
#include "virtual-keyboard-unstable-v1-protocol.c"
}
#pragma GCC diagnostic pop

namespace {

// KWin's fake input types keys from version 4 on.
constexpr std::uint32_t fakeKeysVersion = 4;

struct Globals {
    wl_seat* seat = nullptr;
    zwp_virtual_keyboard_manager_v1* manager = nullptr;
    org_kde_kwin_fake_input* fakeInput = nullptr;
};

void announce(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
              std::uint32_t version) {
    auto* globals = static_cast<Globals*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && globals->seat == nullptr) {
        globals->seat =
            static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    } else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0) {
        globals->manager = static_cast<zwp_virtual_keyboard_manager_v1*>(
            wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
    } else if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 &&
               version >= fakeKeysVersion) {
        globals->fakeInput = static_cast<org_kde_kwin_fake_input*>(
            wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, fakeKeysVersion));
    }
}

void forget(void*, wl_registry*, std::uint32_t) {
}

constexpr wl_registry_listener registryListener{&announce, &forget};

// Where the layout has a symbol: its key and whether Shift (the second level) is needed.
struct Place {
    xkb_keycode_t code;
    bool shift;
};

std::optional<Place> findSymbol(xkb_keymap* keymap, xkb_keysym_t symbol) {
    for (xkb_keycode_t code = xkb_keymap_min_keycode(keymap);
         code <= xkb_keymap_max_keycode(keymap); ++code) {
        for (xkb_level_index_t level = 0; level < 2; ++level) {
            const xkb_keysym_t* symbols = nullptr;
            if (xkb_keymap_key_get_syms_by_level(keymap, code, 0, level, &symbols) == 1 &&
                symbols[0] == symbol) {
                return Place{code, level == 1};
            }
        }
    }
    return std::nullopt;
}

class Keyboard {
public:
    // One of the two devices.
    Keyboard(wl_display* display, zwp_virtual_keyboard_v1* keyboard,
             org_kde_kwin_fake_input* fakeInput, xkb_keymap* keymap)
        : display_(display), keyboard_(keyboard), fakeInput_(fakeInput), keymap_(keymap),
          state_(xkb_state_new(keymap)) {}
    ~Keyboard() { xkb_state_unref(state_); }
    Keyboard(const Keyboard&) = delete;
    Keyboard& operator=(const Keyboard&) = delete;

    // Presses the keys in order and releases them in reverse, then waits for the compositor.
    bool chord(const std::vector<xkb_keycode_t>& codes) {
        for (const xkb_keycode_t code : codes) {
            send(code, true);
        }
        for (auto code = codes.rbegin(); code != codes.rend(); ++code) {
            send(*code, false);
        }
        return wl_display_roundtrip(display_) >= 0;
    }

    std::optional<Place> find(xkb_keysym_t symbol) const { return findSymbol(keymap_, symbol); }

private:
    // Clients read the modifiers from the seat, which takes them from this request alone: the
    // compositor does not work them out from the keys of a virtual keyboard. KWin does, from
    // the keys of its fake input, through its own keymap (US in the test session).
    void send(xkb_keycode_t code, bool down) {
        if (fakeInput_ != nullptr) {
            org_kde_kwin_fake_input_keyboard_key(fakeInput_, code - 8,
                                                 down ? WL_KEYBOARD_KEY_STATE_PRESSED
                                                      : WL_KEYBOARD_KEY_STATE_RELEASED);
            return;
        }
        zwp_virtual_keyboard_v1_key(keyboard_, timestamp(), code - 8,
                                    down ? WL_KEYBOARD_KEY_STATE_PRESSED
                                         : WL_KEYBOARD_KEY_STATE_RELEASED);
        const auto changed = xkb_state_update_key(state_, code, down ? XKB_KEY_DOWN : XKB_KEY_UP);
        if ((changed & (XKB_STATE_MODS_EFFECTIVE | XKB_STATE_LAYOUT_EFFECTIVE)) != 0) {
            zwp_virtual_keyboard_v1_modifiers(
                keyboard_, xkb_state_serialize_mods(state_, XKB_STATE_MODS_DEPRESSED),
                xkb_state_serialize_mods(state_, XKB_STATE_MODS_LATCHED),
                xkb_state_serialize_mods(state_, XKB_STATE_MODS_LOCKED),
                xkb_state_serialize_layout(state_, XKB_STATE_LAYOUT_EFFECTIVE));
        }
    }

    // Milliseconds that always move forward, even for two events in the same millisecond.
    std::uint32_t timestamp() {
        const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now().time_since_epoch())
                             .count();
        last_ = std::max(static_cast<std::uint32_t>(now), last_ + 1);
        return last_;
    }

    wl_display* display_;
    zwp_virtual_keyboard_v1* keyboard_;
    org_kde_kwin_fake_input* fakeInput_;
    xkb_keymap* keymap_;
    xkb_state* state_;
    std::uint32_t last_ = 0;
};

std::optional<xkb_keysym_t> modifierSymbol(const std::string& name) {
    if (name == "shift") {
        return XKB_KEY_Shift_L;
    }
    if (name == "ctrl" || name == "control") {
        return XKB_KEY_Control_L;
    }
    if (name == "alt") {
        return XKB_KEY_Alt_L;
    }
    if (name == "super" || name == "logo") {
        return XKB_KEY_Super_L;
    }
    return std::nullopt;
}

// The answer to one command: empty when it was done, else why not.
std::string run(Keyboard& keyboard, const std::string& verb, const std::string& argument) {
    if (verb == "type") {
        for (const char character : argument) {
            const auto symbol = xkb_utf32_to_keysym(static_cast<unsigned char>(character));
            const auto place = character > 0 ? keyboard.find(symbol) : std::nullopt;
            if (!place) {
                return "no key types the byte " +
                       std::to_string(static_cast<unsigned char>(character));
            }
            const auto shift = keyboard.find(XKB_KEY_Shift_L);
            std::vector<xkb_keycode_t> codes;
            if (place->shift && shift) {
                codes.push_back(shift->code);
            }
            codes.push_back(place->code);
            if (!keyboard.chord(codes)) {
                return "the compositor closed the connection";
            }
        }
        return {};
    }
    if (verb == "key") {
        std::vector<xkb_keycode_t> codes;
        std::size_t start = 0;
        while (start <= argument.size()) {
            const auto end = std::min(argument.find('+', start), argument.size());
            const std::string name = argument.substr(start, end - start);
            start = end + 1;
            const bool last = end == argument.size();
            auto symbol = last ? std::nullopt : modifierSymbol(name);
            if (last) {
                const xkb_keysym_t named = xkb_keysym_from_name(name.c_str(), XKB_KEYSYM_NO_FLAGS);
                if (named != XKB_KEY_NoSymbol) {
                    symbol = named;
                }
            }
            const auto place = symbol ? keyboard.find(*symbol) : std::nullopt;
            if (!place) {
                return "no key named '" + name + "'";
            }
            codes.push_back(place->code);
        }
        return keyboard.chord(codes) ? std::string() : "the compositor closed the connection";
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

} // namespace

int main() {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "virtual_keyboard: no Wayland display\n");
        return 1;
    }
    Globals globals;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, &globals);
    wl_display_roundtrip(display);
    // KWin's own device where it is offered: KWin keeps its virtual keyboards for input methods.
    const bool virtualKeyboard =
        globals.fakeInput == nullptr && globals.seat != nullptr && globals.manager != nullptr;
    if (!virtualKeyboard && globals.fakeInput == nullptr) {
        std::fprintf(stderr, "virtual_keyboard: the compositor offers no virtual keyboard\n");
        return 1;
    }

    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    const xkb_rule_names names{nullptr, nullptr, "us", nullptr, nullptr};
    xkb_keymap* keymap =
        context ? xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS) : nullptr;
    if (keymap == nullptr) {
        std::fprintf(stderr, "virtual_keyboard: the US layout did not compile\n");
        return 1;
    }
    zwp_virtual_keyboard_v1* device = nullptr;
    if (!virtualKeyboard) {
        // KWin ignores a device's requests until it has been told who asks and why.
        org_kde_kwin_fake_input_authenticate(globals.fakeInput, "lumatide tests",
                                             "typing in end-to-end tests");
    } else {
        // The compositor maps the layout's text from a file; the terminating NUL is part of it.
        char* text = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
        const std::size_t size = std::strlen(text) + 1;
        const int file = memfd_create("keymap", MFD_CLOEXEC);
        std::size_t written = 0;
        while (file >= 0 && written < size) {
            const ssize_t count = write(file, text + written, size - written);
            if (count <= 0) {
                break;
            }
            written += static_cast<std::size_t>(count);
        }
        std::free(text);
        if (written != size) {
            std::fprintf(stderr, "virtual_keyboard: the layout could not be written to memory\n");
            return 1;
        }
        device =
            zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(globals.manager, globals.seat);
        zwp_virtual_keyboard_v1_keymap(device, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, file,
                                       static_cast<std::uint32_t>(size));
        // The request holds its own copy of the descriptor.
        close(file);
    }
    if (wl_display_roundtrip(display) < 0) {
        std::fprintf(stderr, "virtual_keyboard: the compositor refused the keyboard\n");
        return 1;
    }

    Keyboard keyboard(display, device, globals.fakeInput, keymap);
    std::string line;
    while (std::getline(std::cin, line)) {
        const auto space = line.find(' ');
        const std::string verb = line.substr(0, space);
        const std::string argument = space == std::string::npos ? "" : line.substr(space + 1);
        const std::string failure = run(keyboard, verb, argument);
        std::cout << (failure.empty() ? "ok" : "error: " + failure) << std::endl;
        if (wl_display_get_error(display) != 0) {
            return 1;
        }
    }
    if (device != nullptr) {
        zwp_virtual_keyboard_v1_destroy(device);
    } else {
        org_kde_kwin_fake_input_destroy(globals.fakeInput);
    }
    wl_display_roundtrip(display);
    xkb_keymap_unref(keymap);
    xkb_context_unref(context);
    wl_display_disconnect(display);
    return 0;
}
