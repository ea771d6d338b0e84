#pragma once

#include "overlay/OverlayWindow.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QLabel>
#include <QString>
#include <QWidget>

namespace lumatide::test {

// Lets queued work run and releases everything handed to deleteLater().
inline void settleEvents() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Rest-panel windows that still exist, shown or not.
inline int overlayWindowCount() {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (dynamic_cast<OverlayWindow*>(widget) != nullptr) {
            ++count;
        }
    }
    return count;
}

inline QString labelText(const QWidget* window, const char* name) {
    const auto* label = window->findChild<QLabel*>(QString::fromLatin1(name));
    return label != nullptr ? label->text() : QStringLiteral("<missing>");
}

// Screenshots go where the test run keeps its artifacts.
inline QString artifactFolder() {
    QString root = qEnvironmentVariable("LUMATIDE_ARTIFACTS");
    if (root.isEmpty()) {
        root = QStringLiteral(LUMATIDE_DEFAULT_ARTIFACTS);
    }
    const QString folder = root + QStringLiteral("/overlay");
    QDir().mkpath(folder);
    return folder;
}

} // namespace lumatide::test
