// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/AlertSymbols.h"

#include <QPainterPathStroker>
#include <QTransform>
#include <cmath>
#include <numbers>

namespace lumatide {

namespace {

QPainterPath strokeArea(const QPainterPath& line, double width,
                        Qt::PenCapStyle cap = Qt::RoundCap) {
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(cap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(line).simplified();
}

QPainterPath line(QPointF from, QPointF to) {
    QPainterPath path(from);
    path.lineTo(to);
    return path;
}

QPainterPath circle(QPointF centre, double radius) {
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

// A heart filling the rectangle: two round lobes on top, the point at the bottom.
QPainterPath heart(const QRectF& box) {
    QPainterPath unit(QPointF(0.5, 0.94));
    unit.cubicTo(0.22, 0.72, 0.0, 0.52, 0.0, 0.30);
    unit.cubicTo(0.0, 0.12, 0.13, 0.0, 0.28, 0.0);
    unit.cubicTo(0.39, 0.0, 0.46, 0.06, 0.5, 0.15);
    unit.cubicTo(0.54, 0.06, 0.61, 0.0, 0.72, 0.0);
    unit.cubicTo(0.87, 0.0, 1.0, 0.12, 1.0, 0.30);
    unit.cubicTo(1.0, 0.52, 0.78, 0.72, 0.5, 0.94);
    unit.closeSubpath();
    QTransform toBox;
    toBox.translate(box.left(), box.top());
    toBox.scale(box.width(), box.height());
    return toBox.map(unit);
}

// A four-pointed sparkle with gently hollowed sides.
QPainterPath sparkle(QPointF centre, double radius) {
    const double waist = radius * 0.16;
    const double x = centre.x();
    const double y = centre.y();
    QPainterPath path(QPointF(x, y - radius));
    path.quadTo(x + waist, y - waist, x + radius, y);
    path.quadTo(x + waist, y + waist, x, y + radius);
    path.quadTo(x - waist, y + waist, x - radius, y);
    path.quadTo(x - waist, y - waist, x, y - radius);
    path.closeSubpath();
    return path;
}

// The letter Z as one stroke, in the given box.
QPainterPath zigzag(const QRectF& box) {
    QPainterPath path(box.topLeft());
    path.lineTo(box.topRight());
    path.lineTo(box.bottomLeft());
    path.lineTo(box.bottomRight());
    return path;
}

QPainterPath timer() {
    const QPointF centre(15.0, 17.0);
    QPainterPath shape = strokeArea(circle(centre, 10.6), 2.6);
    QPainterPath crown;
    crown.addRoundedRect(QRectF(11.5, 1.2, 7.0, 3.4), 1.4, 1.4);
    shape = shape.united(crown);
    shape = shape.united(strokeArea(line({15.0, 4.0}, {15.0, 6.8}), 2.6, Qt::FlatCap));
    shape = shape.united(strokeArea(line({23.0, 8.2}, {24.9, 6.3}), 2.4));
    shape = shape.united(strokeArea(line(centre, {19.4, 12.6}), 2.6));
    return shape.united(circle(centre, 2.2));
}

QPainterPath boltHeart() {
    QPainterPath shape = strokeArea(heart(QRectF(1.6, 3.0, 26.8, 25.0)), 2.4);
    QPainterPath bolt(QPointF(17.2, 8.6));
    bolt.lineTo(10.6, 16.6);
    bolt.lineTo(14.6, 16.6);
    bolt.lineTo(13.2, 22.4);
    bolt.lineTo(19.6, 13.9);
    bolt.lineTo(15.6, 13.9);
    bolt.closeSubpath();
    return shape.united(bolt);
}

QPainterPath lockHeart() {
    QPainterPath shackle(QPointF(9.2, 15.0));
    shackle.lineTo(9.2, 9.6);
    shackle.arcTo(QRectF(9.2, 3.6, 11.6, 12.0), 180.0, -180.0);
    shackle.lineTo(20.8, 15.0);
    QPainterPath body;
    body.addRoundedRect(QRectF(4.8, 13.2, 20.4, 15.6), 3.8, 3.8);
    body = body.subtracted(heart(QRectF(10.4, 16.6, 9.2, 8.8)));
    return strokeArea(shackle, 2.8, Qt::FlatCap).united(body);
}

QPainterPath checkmarkSeal() {
    // A scalloped badge: a circle whose radius ripples twelve times around it.
    const QPointF centre(15.0, 15.0);
    constexpr int samples = 144;
    QPainterPath seal;
    for (int i = 0; i <= samples; ++i) {
        const double angle = 2.0 * std::numbers::pi * i / samples;
        const double radius = 12.3 + 1.15 * std::cos(12.0 * angle);
        const QPointF point(centre.x() + radius * std::cos(angle),
                            centre.y() + radius * std::sin(angle));
        if (i == 0) {
            seal.moveTo(point);
        } else {
            seal.lineTo(point);
        }
    }
    seal.closeSubpath();
    QPainterPath check(QPointF(9.8, 15.4));
    check.lineTo(13.5, 19.1);
    check.lineTo(20.4, 11.2);
    return strokeArea(seal, 2.3).united(strokeArea(check, 2.8));
}

QPainterPath keySlash() {
    // A key lying diagonally, bow at the lower left; the slash crosses its shaft at right
    // angles and leaves the bow whole.
    const QPointF bow(8.0, 22.0);
    QPainterPath key = strokeArea(circle(bow, 5.6), 2.6);
    key = key.united(strokeArea(line({12.0, 18.0}, {25.6, 4.4}), 2.6));
    key = key.united(strokeArea(line({22.6, 7.4}, {25.2, 10.0}), 2.6));
    key = key.united(strokeArea(line({19.4, 10.6}, {21.4, 12.6}), 2.6));
    // The slash cuts a clear gap through the key so the two read apart.
    const QPainterPath slash = line({4.0, 4.0}, {26.0, 26.0});
    key = key.subtracted(strokeArea(slash, 5.6));
    return key.united(strokeArea(slash, 2.6));
}

QPainterPath sparkles() {
    QPainterPath shape = sparkle({12.0, 17.2}, 10.2);
    shape = shape.united(sparkle({23.4, 7.0}, 5.4));
    return shape.united(sparkle({24.2, 23.6}, 3.9));
}

QPainterPath cupAndSaucer() {
    QPainterPath cup(QPointF(4.6, 11.8));
    cup.lineTo(21.2, 11.8);
    cup.lineTo(20.4, 18.2);
    cup.cubicTo(20.0, 21.6, 17.4, 23.4, 12.9, 23.4);
    cup.cubicTo(8.4, 23.4, 5.8, 21.6, 5.4, 18.2);
    cup.closeSubpath();
    QPainterPath handle(QPointF(20.9, 13.8));
    handle.cubicTo(26.6, 12.6, 27.2, 19.6, 19.9, 19.6);
    QPainterPath shape = strokeArea(cup, 2.4).united(strokeArea(handle, 2.3));
    QPainterPath saucer(QPointF(3.0, 26.2));
    saucer.quadTo(15.0, 28.6, 27.0, 26.2);
    shape = shape.united(strokeArea(saucer, 2.5));
    for (const double x : {10.2, 15.2}) {
        QPainterPath steam(QPointF(x, 8.6));
        steam.cubicTo(x - 1.8, 7.0, x + 1.8, 5.2, x, 3.0);
        shape = shape.united(strokeArea(steam, 1.9));
    }
    return shape;
}

QPainterPath moonZzz() {
    QPainterPath moon = circle({12.6, 17.6}, 10.8).subtracted(circle({19.8, 10.8}, 9.0));
    moon = moon.united(strokeArea(zigzag(QRectF(19.4, 2.6, 7.0, 6.4)), 2.2));
    return moon.united(strokeArea(zigzag(QRectF(14.4, 10.4, 4.6, 4.2)), 2.0));
}

QPainterPath heartTextSquare() {
    QPainterPath square;
    square.addRoundedRect(QRectF(2.6, 2.6, 24.8, 24.8), 6.6, 6.6);
    QPainterPath shape = strokeArea(square, 2.4);
    shape = shape.united(heart(QRectF(10.2, 6.6, 9.6, 8.8)));
    shape = shape.united(strokeArea(line({9.2, 18.8}, {20.8, 18.8}), 2.2));
    return shape.united(strokeArea(line({9.2, 22.6}, {16.8, 22.6}), 2.2));
}

} // namespace

std::optional<QPainterPath> alertSymbolPath(QStringView symbolName) {
    struct Entry {
        QStringView name;
        QPainterPath (*draw)();
    };
    static constexpr Entry entries[] = {
        {u"timer", timer},
        {u"bolt.heart", boltHeart},
        {u"lock.heart", lockHeart},
        {u"checkmark.seal", checkmarkSeal},
        {u"key.slash", keySlash},
        {u"sparkles", sparkles},
        {u"cup.and.saucer", cupAndSaucer},
        {u"moon.zzz", moonZzz},
        {u"heart.text.square", heartTextSquare},
    };
    for (const Entry& entry : entries) {
        if (entry.name == symbolName) {
            return entry.draw();
        }
    }
    return std::nullopt;
}

} // namespace lumatide
