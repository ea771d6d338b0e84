// SPDX-License-Identifier: GPL-3.0-or-later
#include "warning/WarningToast.h"

#include "common/BottomUpFrame.h"
#include "common/Colors.h"
#include "content/TextFormat.h"
#include "content/Texts.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace lumatide {

namespace {

constexpr int horizontalPadding = 22;
constexpr int topPadding = 16;
constexpr int lineGap = 8;
constexpr double cornerRadius = 14.0;

QString countdownText(AppLanguage language, std::int64_t seconds) {
    return formatText(Texts::forLanguage(language).warningStartsIn,
                      std::max<std::int64_t>(seconds, 0));
}

QLabel* makeLine(int pixelSize, QFont::Weight weight, const QColor& colour) {
    auto* line = new QLabel;
    line->setTextFormat(Qt::PlainText);
    line->setWordWrap(false);
    QFont font = line->font();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    line->setFont(font);
    QPalette palette = line->palette();
    palette.setColor(QPalette::WindowText, colour);
    line->setPalette(palette);
    return line;
}

// Some languages say the countdown in more words than the card is wide, and the common
// desktop fonts run wider than the card was drawn for. Such a line is set smaller, down to a
// floor, and then a little narrower, rather than cut off. It is fitted once, to the widest
// text of the toast's life, so that the size does not jump while counting down.
void fitToWidth(QLabel& line, const QString& widestText, int availableWidth, int smallestSize) {
    QFont font = line.font();
    const auto fits = [&] {
        return QFontMetricsF(font).horizontalAdvance(widestText) <= availableWidth;
    };
    while (!fits() && font.pixelSize() > smallestSize) {
        font.setPixelSize(font.pixelSize() - 1);
    }
    for (int stretch = 95; !fits() && stretch >= 75; stretch -= 5) {
        font.setStretch(stretch);
    }
    line.setFont(font);
}

QPainterPath roundedOutline(const QRectF& rect) {
    QPainterPath outline;
    outline.addRoundedRect(rect, cornerRadius, cornerRadius);
    return outline;
}

} // namespace

WarningToast::WarningToast(QScreen* screen, std::int64_t seconds, AppLanguage language,
                           bool composited)
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool |
                           Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus |
                           Qt::X11BypassWindowManagerHint),
      language_(language), title_(makeLine(20, QFont::DemiBold, Qt::white)),
      label_(makeLine(14, QFont::Normal, rgba(1.0, 1.0, 1.0, 0.72))) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setWindowTitle(QStringLiteral("Lumatide"));
    if (screen != nullptr) {
        setScreen(screen);
        setGeometry(geometryFor(screen->availableGeometry()));
    } else {
        resize(width, height);
    }
    setFixedSize(width, height);

    if (composited) {
        setAttribute(Qt::WA_TranslucentBackground);
    } else {
        setMask(QRegion(roundedOutline(QRectF(rect())).toFillPolygon().toPolygon()));
    }

    const int lineWidth = width - 2 * horizontalPadding;
    const QString hint = Texts::forLanguage(language).warningHint;
    label_->setText(hint);
    fitToWidth(*label_, hint, lineWidth, 12);
    fitToWidth(*title_, countdownText(language, seconds), lineWidth, 15);
    update(seconds);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(horizontalPadding, topPadding, horizontalPadding, 0);
    layout->setSpacing(lineGap);
    layout->addWidget(title_);
    layout->addWidget(label_);
    layout->addStretch(1);
}

QRect WarningToast::geometryFor(const QRect& availableGeometry) {
    // Placed from the bottom-left corner of the usable area: right edge less the margin and
    // the width, top edge less the margin and the height.
    const BottomUpFrame area{QRectF(availableGeometry)};
    return area.rect(area.width() - width - margin, area.height() - height - margin, width, height)
        .toRect();
}

void WarningToast::update(std::int64_t seconds) {
    title_->setText(countdownText(language_, seconds));
}

QString WarningToast::titleText() const {
    return title_->text();
}

QString WarningToast::hintText() const {
    return label_->text();
}

void WarningToast::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // The border is a 1-pixel line inside the edge.
    const QPainterPath outline = roundedOutline(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    // Without a compositor the window cannot be see-through; it takes the colour at full
    // strength rather than a blend with the grey window background.
    const double alpha = testAttribute(Qt::WA_TranslucentBackground) ? 0.88 : 1.0;
    painter.fillPath(outline, rgba(0.07, 0.11, 0.12, alpha));
    painter.strokePath(outline, QPen(rgba(0.55, 0.78, 0.86, 0.35), 1.0));
}

} // namespace lumatide
