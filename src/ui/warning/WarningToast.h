// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "content/AppLanguage.h"

#include <QWidget>
#include <cstdint>

class QLabel;
class QScreen;

namespace lumatide {

// The countdown toast of one screen: a small dark rounded window in the top-right corner of
// the screen's usable area that never takes focus and lets every click pass through.
class WarningToast final : public QWidget {
    Q_OBJECT

public:
    static constexpr int width = 320;
    static constexpr int height = 86;
    // Distance from the top and right edges of the usable area.
    static constexpr int margin = 26;

    // Builds the toast for the screen, showing the seconds; does not show it. Its corners are
    // see-through where a compositor blends windows, cut away otherwise.
    WarningToast(QScreen* screen, std::int64_t seconds, AppLanguage language, bool composited);

    // The toast's place on a screen with the given usable area.
    static QRect geometryFor(const QRect& availableGeometry);

    using QWidget::update;
    // Shows the countdown line for the seconds (never below 0), in the toast's language.
    void update(std::int64_t seconds);

    QString titleText() const;
    QString hintText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    AppLanguage language_;
    QLabel* title_;
    QLabel* label_;
};

} // namespace lumatide
