// SPDX-License-Identifier: GPL-3.0-or-later
#include "overlay/PanelLabel.h"

#include <QPainter>
#include <QStyle>
#include <QTextLine>
#include <QTextOption>

namespace lumatide {

PanelLabel::PanelLabel(QWidget* parent) : QLabel(parent) {
    layout_.setCacheEnabled(true);
}

void PanelLabel::layOut() {
    // One line, unwrapped, as a plain label lays out text that does not wrap.
    QTextOption option;
    option.setWrapMode(QTextOption::ManualWrap);
    option.setFlags(QTextOption::IncludeTrailingSpaces);
    option.setTextDirection(layoutDirection());
    layout_.clearLayout();
    layout_.setText(text());
    layout_.setFont(font());
    layout_.setTextOption(option);
    layout_.beginLayout();
    QTextLine line = layout_.createLine();
    if (line.isValid()) {
        line.setLineWidth(1e6);
        line.setPosition(QPointF(0.0, 0.0));
    }
    layout_.endLayout();
    laidOutText_ = text();
    laidOutFont_ = font();
    ++layouts_;
}

void PanelLabel::paintEvent(QPaintEvent* event) {
    const Qt::Alignment align = QStyle::visualAlignment(layoutDirection(), alignment());
    if ((align & Qt::AlignBottom) || margin() != 0 || frameWidth() != 0) {
        QLabel::paintEvent(event); // no panel label has a frame or sits on its bottom edge
        return;
    }
    if (text().isEmpty()) {
        return;
    }
    if (layouts_ == 0 || laidOutText_ != text() || laidOutFont_ != font()) {
        layOut();
    }
    const QTextLine line = layout_.lineAt(0);
    if (!line.isValid()) {
        return;
    }
    // Where a plain label puts its line within the contents.
    const QRectF area = contentsRect();
    const double advance = line.horizontalAdvance();
    double x = area.left();
    if (align & Qt::AlignRight) {
        x += area.width() - advance;
    } else if (align & Qt::AlignHCenter) {
        x += (area.width() - advance) / 2.0;
    }
    double y = area.top();
    if (align & Qt::AlignVCenter) {
        y += (area.height() - line.height()) / 2.0;
    }
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    line.draw(&painter, QPointF(x, y));
}

} // namespace lumatide
