// SPDX-License-Identifier: GPL-3.0-or-later
#include "overlay/BearPainter.h"

#include "common/BottomUpFrame.h"
#include "common/Colors.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRectF>
#include <algorithm>

namespace lumatide {

namespace {

// How strongly one bear is drawn: the current step strongest, the next one lighter.
struct Emphasis {
    double body;
    double bodyLineWidth;
    double guide;
    double ringFactor;
};

Emphasis emphasisFor(bool active, bool next) {
    if (active) {
        return {0.88, 3.5, 0.36, 1.0};
    }
    if (next) {
        return {0.62, 2.4, 0.22, 0.68};
    }
    return {0.34, 2.4, 0.12, 0.42};
}

double leanOffset(ActionKind kind, double p) {
    switch (kind) {
    case ActionKind::drink:
        return 0.03 * p;
    case ActionKind::stretch:
        return -0.05 * p;
    case ActionKind::taiChi:
        return 0.1 * (p - 0.5);
    case ActionKind::reach:
    case ActionKind::breathe:
    case ActionKind::yoga:
        break;
    }
    return 0.0;
}

double footSpread(ActionKind kind, double p) {
    switch (kind) {
    case ActionKind::stretch:
        return 0.02 * p;
    case ActionKind::taiChi:
        return 0.04 * p;
    case ActionKind::drink:
    case ActionKind::reach:
    case ActionKind::breathe:
    case ActionKind::yoga:
        break;
    }
    return 0.0;
}

QPen roundPen(const QColor& color, double width) {
    QPen pen(color, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

// A cubic curve given as end point, first control point, second control point, in units of
// the pose rectangle.
void curveTo(QPainterPath& path, const BottomUpFrame& f, QPointF end, QPointF c1, QPointF c2) {
    path.cubicTo(f.unit(c1.x(), c1.y()), f.unit(c2.x(), c2.y()), f.unit(end.x(), end.y()));
}

QPainterPath guidePath(const BottomUpFrame& f, ActionKind kind, double p) {
    QPainterPath path;
    switch (kind) {
    case ActionKind::drink:
        path.moveTo(f.unit(0.66, 0.50 + 0.06 * p));
        curveTo(path, f, {0.58, 0.62 + 0.10 * p}, {0.72, 0.56}, {0.68, 0.66});
        break;
    case ActionKind::stretch:
        path.moveTo(f.unit(0.42 - 0.05 * p, 0.72));
        curveTo(path, f, {0.26 - 0.04 * p, 0.60}, {0.34, 0.74}, {0.27, 0.67});
        break;
    case ActionKind::reach:
    case ActionKind::yoga:
        path.moveTo(f.unit(0.36, 0.46));
        curveTo(path, f, {0.50, 0.78 + 0.16 * p}, {0.34, 0.64}, {0.46, 0.76});
        curveTo(path, f, {0.64, 0.46}, {0.54, 0.76}, {0.66, 0.64});
        break;
    case ActionKind::taiChi:
        path.moveTo(f.unit(0.24 + 0.05 * p, 0.56));
        curveTo(path, f, {0.76 - 0.05 * p, 0.56}, {0.36, 0.90 - 0.16 * p}, {0.64, 0.22 + 0.16 * p});
        break;
    case ActionKind::breathe:
        break;
    }
    return path;
}

void addArms(QPainterPath& path, const BottomUpFrame& f, QPointF shoulder, ActionKind kind,
             double p) {
    struct Curve {
        QPointF end, c1, c2;
    };
    Curve left{};
    Curve right{};
    switch (kind) {
    case ActionKind::drink:
        left = {{0.36, 0.50}, {0.44, 0.60}, {0.39, 0.54}};
        right = {{0.64, 0.54 + 0.18 * p}, {0.58, 0.62}, {0.62, 0.60}};
        break;
    case ActionKind::stretch:
        left = {{0.32 - 0.06 * p, 0.54}, {0.44, 0.60}, {0.38, 0.56}};
        right = {{0.70 + 0.04 * p, 0.61}, {0.58, 0.62}, {0.64, 0.62}};
        break;
    case ActionKind::reach:
    case ActionKind::yoga:
        left = {{0.38, 0.72 + 0.18 * p}, {0.45, 0.70}, {0.40, 0.74}};
        right = {{0.62, 0.72 + 0.18 * p}, {0.55, 0.70}, {0.60, 0.74}};
        break;
    case ActionKind::breathe:
        left = {{0.34 - 0.03 * p, 0.52}, {0.45, 0.55}, {0.40, 0.52}};
        right = {{0.66 + 0.03 * p, 0.52}, {0.55, 0.55}, {0.60, 0.52}};
        break;
    case ActionKind::taiChi:
        left = {{0.28 + 0.10 * p, 0.54 + 0.08 * p}, {0.42, 0.70}, {0.34, 0.66}};
        right = {{0.74 - 0.10 * p, 0.56 - 0.08 * p}, {0.58, 0.50}, {0.66, 0.48}};
        break;
    }
    for (const Curve& arm : {left, right}) {
        path.moveTo(f.unit(shoulder.x(), shoulder.y()));
        curveTo(path, f, arm.end, arm.c1, arm.c2);
    }
}

void paintRings(QPainter& painter, const BottomUpFrame& f, double p, double ringFactor) {
    struct Ring {
        double baseSize, baseAlpha, lineWidth;
    };
    static constexpr Ring rings[] = {{0.40, 0.22, 3.5}, {0.65, 0.155, 2.8}, {0.90, 0.09, 2.1}};
    for (const Ring& ring : rings) {
        const double s = ring.baseSize + 0.16 * p;
        const double alpha = ringFactor * std::max(ring.baseAlpha - 0.04 * p, 0.035);
        QPainterPath path;
        path.addEllipse(f.unit(0.5, 0.5), s * f.width() / 2.0, 0.46 * s * f.height() / 2.0);
        painter.strokePath(path, roundPen(rgba(0.62, 0.8, 1.0, alpha), ring.lineWidth));
    }
}

} // namespace

void paintBear(QPainter& painter, const QRectF& rect, ActionKind kind, double phase, bool active,
               bool next) {
    const BottomUpFrame f(rect);
    const double W = f.width();
    const double H = f.height();
    const double p = phase;
    const Emphasis e = emphasisFor(active, next);
    const double L = leanOffset(kind, p);
    const double F = footSpread(kind, p);
    const QPointF shoulder(0.5 + 0.55 * L, 0.68);
    // Head centre in points from the pose rectangle's bottom-left corner; the head's parts are
    // placed around it in points.
    const double cx = (0.5 + 0.55 * L) * W;
    const double cy = 0.76 * H;
    const double r = std::clamp(0.045 * W, 7.0, 13.0);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);

    QPen ground(white(0.1), 2.0);
    ground.setCapStyle(Qt::FlatCap);
    painter.setPen(ground);
    painter.drawLine(f.unit(0.22, 0.14), f.unit(0.78, 0.14));

    if (kind == ActionKind::breathe) {
        paintRings(painter, f, p, e.ringFactor);
    } else {
        painter.strokePath(guidePath(f, kind, p), roundPen(rgba(0.55, 0.75, 1.0, e.guide), 2.5));
    }

    QPen body(white(e.body), e.bodyLineWidth);
    body.setCapStyle(Qt::FlatCap);
    body.setJoinStyle(Qt::MiterJoin);
    painter.setPen(body);
    const double torsoWidth = 0.16 * W;
    const double torsoHeight = std::max(0.36 * H, 24.0);
    const double corner = 0.45 * torsoWidth;
    painter.drawRoundedRect(f.rect((0.42 + 0.775 * L) * W, 0.38 * H, torsoWidth, torsoHeight),
                            corner, corner);

    QPainterPath head;
    head.addEllipse(f.point(cx, cy), r, r);
    head.addEllipse(f.rect(cx - 0.95 * r, cy + 0.45 * r, 0.84 * r, 0.84 * r));
    head.addEllipse(f.rect(cx + 0.10 * r, cy + 0.45 * r, 0.84 * r, 0.84 * r));
    const QPen bodyRound = roundPen(white(e.body), e.bodyLineWidth);
    painter.strokePath(head, bodyRound);

    painter.setPen(Qt::NoPen);
    painter.setBrush(white(0.55 * e.body));
    painter.drawEllipse(f.rect(cx - 0.28 * r, cy - 0.10 * r, 0.14 * r, 0.14 * r));
    painter.drawEllipse(f.rect(cx + 0.14 * r, cy - 0.10 * r, 0.14 * r, 0.14 * r));

    QPainterPath limbs;
    addArms(limbs, f, shoulder, kind, p);
    limbs.moveTo(f.unit(0.46 + L, 0.44));
    limbs.lineTo(f.unit(0.40 - F, 0.18));
    limbs.moveTo(f.unit(0.54 + L, 0.44));
    limbs.lineTo(f.unit(0.60 + F, 0.18));
    painter.strokePath(limbs, bodyRound);

    painter.restore();
}

} // namespace lumatide
