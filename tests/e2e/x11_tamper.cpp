// SPDX-License-Identifier: GPL-3.0-or-later
// What a hostile program does to another program's windows that xdotool cannot:
//   x11_tamper shape <window>        gives the window an empty shape (nothing shown, clicks
//                                    pass through), then leaves
//   x11_tamper raise-loop <ms>       maps an override-redirect window over the whole screen
//                                    and raises it again every <ms> milliseconds until killed
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: x11_tamper shape <window> | raise-loop <ms>\n");
        return 2;
    }
    Display* x = XOpenDisplay(nullptr);
    if (x == nullptr) {
        std::fprintf(stderr, "no display\n");
        return 1;
    }
    if (std::strcmp(argv[1], "shape") == 0) {
        const Window window = std::strtoul(argv[2], nullptr, 0);
        XRectangle none{};
        XShapeCombineRectangles(x, window, ShapeBounding, 0, 0, &none, 0, ShapeSet, Unsorted);
        XShapeCombineRectangles(x, window, ShapeInput, 0, 0, &none, 0, ShapeSet, Unsorted);
        XSync(x, False);
        return 0;
    }
    const int screen = DefaultScreen(x);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = WhitePixel(x, screen);
    const Window window = XCreateWindow(
        x, RootWindow(x, screen), 0, 0, static_cast<unsigned>(DisplayWidth(x, screen)),
        static_cast<unsigned>(DisplayHeight(x, screen)), 0, CopyFromParent, InputOutput,
        CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
    XMapRaised(x, window);
    const useconds_t pause = static_cast<useconds_t>(std::atoi(argv[2])) * 1000;
    for (;;) {
        XRaiseWindow(x, window);
        XSync(x, False);
        usleep(pause);
    }
}
