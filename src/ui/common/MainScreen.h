// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QScreen;

namespace lumatide {

// The screen the user is working on: the one under the mouse pointer, else the primary one;
// null when there is no screen at all.
QScreen* mainScreen();

} // namespace lumatide
