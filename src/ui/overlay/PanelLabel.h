// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QLabel>
#include <QTextLayout>

namespace lumatide {

// A single line of plain text on a rest panel. It lies over the moving background, so it is
// repainted with it up to 20 times a second while its text changes once a second at most; a
// plain label shapes its text again on every paint, this one only when the text or the font
// changed. It draws what a plain label with the same text, font, colour and alignment draws.
class PanelLabel final : public QLabel {
    Q_OBJECT

public:
    explicit PanelLabel(QWidget* parent = nullptr);

    // How often the text was shaped (tests).
    int layoutCount() const { return layouts_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void layOut();

    QTextLayout layout_;
    QString laidOutText_;
    QFont laidOutFont_;
    int layouts_ = 0;
};

} // namespace lumatide
