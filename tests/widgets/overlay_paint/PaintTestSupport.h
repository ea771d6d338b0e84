#pragma once

#include <QColor>
#include <QDir>
#include <QImage>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace lumatide::test {

// Folder for rendered pictures that people look at: $LUMATIDE_ARTIFACTS, else the build tree's.
inline QString paintArtifactsDir() {
    QString root = qEnvironmentVariable("LUMATIDE_ARTIFACTS");
    if (root.isEmpty()) {
        root = QStringLiteral(LUMATIDE_DEFAULT_ARTIFACTS);
    }
    const QString dir = root + QStringLiteral("/overlay_paint");
    QDir().mkpath(dir);
    return dir;
}

inline void saveArtifact(const QImage& image, const QString& name) {
    image.save(paintArtifactsDir() + QLatin1Char('/') + name + QStringLiteral(".png"));
}

inline QImage blankImage(int width, int height, QColor fill = Qt::black) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

// Largest difference of any colour channel, in 8-bit levels.
inline int channelDistance(QColor a, QColor b) {
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                     std::abs(a.blue() - b.blue())});
}

// Expected 8-bit level of a colour component given in 0..1.
inline int level(double component) {
    return static_cast<int>(std::lround(component * 255.0));
}

inline int brightness(QColor c) {
    return c.red() + c.green() + c.blue();
}

} // namespace lumatide::test
