#pragma once

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QImage>
#include <QString>

namespace lumatide::test {

inline QString s(const char* text) {
    return QString::fromUtf8(text);
}

// Keeps a picture for people to look at, under $LUMATIDE_ARTIFACTS or the build tree.
inline void saveArtifact(const QImage& image, const QString& name) {
    const QString folder =
        qEnvironmentVariable("LUMATIDE_ARTIFACTS", QStringLiteral(LUMATIDE_DEFAULT_ARTIFACTS)) +
        QStringLiteral("/widgets/");
    QDir().mkpath(folder);
    image.save(folder + name + QStringLiteral(".png"));
}

// Lets queued work run and releases everything handed to deleteLater().
inline void settleEvents() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace lumatide::test
