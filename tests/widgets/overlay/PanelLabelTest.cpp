// A panel label keeps its laid-out text between paints and draws what a plain label draws.

#include "overlay/PanelLabel.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace lumatide;

namespace {

struct Look {
    QString text;
    int pixelSize;
    QFont::Weight weight;
    Qt::Alignment alignment;
    QSize size;
};

void style(QLabel& label, const Look& look) {
    QFont font = QApplication::font();
    font.setPixelSize(look.pixelSize);
    font.setWeight(look.weight);
    label.setFont(font);
    label.setAlignment(look.alignment);
    label.setTextFormat(Qt::PlainText);
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, QColor::fromRgbF(0.82f, 0.82f, 0.82f));
    label.setPalette(palette);
    label.setText(look.text);
    label.resize(look.size);
}

// The label painted over a dark teal backdrop, as on a panel.
QImage paintedOverBackdrop(QLabel& label) {
    QImage image(label.size(), QImage::Format_RGB32);
    image.fill(QColor::fromRgbF(0.05f, 0.1f, 0.12f));
    label.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

struct Difference {
    int largest = 0;
    int inked = 0; // pixels the text changed from the backdrop
};

Difference compare(const QImage& a, const QImage& b) {
    Difference d;
    const QRgb backdrop = a.pixel(0, 0);
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            d.largest = std::max({d.largest, std::abs(qRed(p) - qRed(q)),
                                  std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
            d.inked += p != backdrop ? 1 : 0;
        }
    }
    return d;
}

} // namespace

TEST(PanelLabel, DrawsWhatAPlainLabelDraws) {
    const Qt::Alignment centred = Qt::AlignCenter;
    const Qt::Alignment top = Qt::AlignHCenter | Qt::AlignTop;
    for (const Look& look :
         {Look{QStringLiteral("B 04:59"), 44, QFont::Bold, centred, QSize(900, 60)},
          Look{QStringLiteral("Breathe in"), 27, QFont::DemiBold, top, QSize(900, 48)},
          Look{QStringLiteral("Step 3: Raise both arms slowly, palms up"), 17, QFont::Medium,
               centred, QSize(1200, 26)},
          Look{QString::fromUtf8("\xe6\xb7\xb1\xe5\x91\xbc\xe5\x90\xb8 \xe2\x80\x94 ok"), 22,
               QFont::DemiBold, centred, QSize(500, 34)},
          Look{QStringLiteral("Left"), 14, QFont::Normal, Qt::AlignLeft | Qt::AlignVCenter,
               QSize(300, 22)},
          Look{QStringLiteral("Right"), 14, QFont::Normal, Qt::AlignRight | Qt::AlignVCenter,
               QSize(300, 40)},
          Look{QStringLiteral("Bottom"), 14, QFont::Normal, Qt::AlignHCenter | Qt::AlignBottom,
               QSize(300, 40)}}) {
        QLabel plain;
        PanelLabel kept;
        style(plain, look);
        style(kept, look);
        const Difference d = compare(paintedOverBackdrop(plain), paintedOverBackdrop(kept));
        EXPECT_GT(d.inked, 30) << look.text.toStdString() << ": the text shows";
        EXPECT_LE(d.largest, 1) << look.text.toStdString();
    }
}

TEST(PanelLabel, LaysTheTextOutOnlyWhenItChanges) {
    PanelLabel label;
    style(label, Look{QStringLiteral("B 01:00"), 44, QFont::Bold, Qt::AlignCenter, QSize(400, 60)});
    const QImage first = paintedOverBackdrop(label);
    for (int i = 0; i < 5; ++i) {
        paintedOverBackdrop(label);
    }
    EXPECT_EQ(label.layoutCount(), 1);

    label.setText(QStringLiteral("B 00:59"));
    const QImage second = paintedOverBackdrop(label);
    EXPECT_EQ(label.layoutCount(), 2);
    EXPECT_GT(compare(first, second).largest, 100) << "the new text is drawn";

    QFont larger = label.font();
    larger.setPixelSize(50);
    label.setFont(larger);
    paintedOverBackdrop(label);
    EXPECT_EQ(label.layoutCount(), 3);

    label.setText(QString());
    const QImage empty = paintedOverBackdrop(label);
    EXPECT_EQ(compare(empty, empty).inked, 0) << "nothing but the backdrop";
}
