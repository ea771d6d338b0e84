// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/X11ErrorTrap.h"

namespace lumatide {
namespace {

int caughtErrors = 0;

int countError(Display*, XErrorEvent*) {
    ++caughtErrors;
    return 0;
}

} // namespace

X11ErrorTrap::X11ErrorTrap() : previous_(XSetErrorHandler(countError)) {
    caughtErrors = 0;
}

X11ErrorTrap::~X11ErrorTrap() {
    XSetErrorHandler(previous_);
}

bool X11ErrorTrap::caughtError() const {
    return caughtErrors != 0;
}

} // namespace lumatide
