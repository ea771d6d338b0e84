// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/MainScreen.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

namespace lumatide {

QScreen* mainScreen() {
    if (QScreen* underPointer = QGuiApplication::screenAt(QCursor::pos())) {
        return underPointer;
    }
    return QGuiApplication::primaryScreen();
}

} // namespace lumatide
