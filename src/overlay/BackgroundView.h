#pragma once

#include <QElapsedTimer>
#include <QWidget>

class QTimer;

namespace lumatide {

// The root content widget of a rest panel: the slowly moving eye-care background, repainted 20
// times a second while shown. The motion is anchored when the view is created, so panels made
// together move in step. It paints only itself; the panel adds its other widgets on top.
class BackgroundView final : public QWidget {
public:
    explicit BackgroundView(QWidget* parent = nullptr);
    ~BackgroundView() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QElapsedTimer created_;
    QTimer* timer_; // child of the view
};

} // namespace lumatide
