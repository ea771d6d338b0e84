#include "overlay/FigureView.h"

#include "overlay/BackgroundView.h"
#include "widgets/overlay_paint/PaintTestSupport.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace lumatide;
using namespace lumatide::test;

namespace {

// A figure whose step loop runs on a hand-moved clock.
struct ManualFigure {
    double seconds = 0.0;
    std::unique_ptr<FigureView> view =
        std::make_unique<FigureView>([this] { return seconds; }, nullptr);

    ManualFigure() { view->resize(600, 300); }
    void tick() const {
        QMetaObject::invokeMethod(view->findChild<QTimer*>(), "timeout", Qt::DirectConnection);
    }
    // A step found while drawing is reported from the event loop just after.
    void draw() const {
        view->grab();
        QCoreApplication::sendPostedEvents();
    }
};

} // namespace

TEST(FigureView, ReportsEachStepChangeOnce) {
    ManualFigure figure;
    std::vector<int> steps;
    figure.view->setOnStepChange([&steps](int step) { steps.push_back(step); });

    // Ticks and draws both report; the same step found again reports nothing.
    for (double at : {0.0, 1.0, 2.9, 3.0, 3.5, 6.2, 23.99, 24.0, 24.5}) {
        figure.seconds = at;
        figure.tick();
        figure.draw();
    }
    EXPECT_EQ(steps, (std::vector<int>{0, 1, 2, 7, 0}));
    // A draw alone finds and reports a new step too.
    figure.seconds = 9.5;
    figure.draw();
    figure.draw();
    EXPECT_EQ(steps, (std::vector<int>{0, 1, 2, 7, 0, 3}));
    figure.seconds = 16.0;
    EXPECT_EQ(figure.view->stepIndex(), 5);
}

TEST(FigureView, RemembersStepsWithoutACallback) {
    ManualFigure figure;
    figure.seconds = 4.0;
    figure.tick(); // step 1, nobody to tell
    std::vector<int> steps;
    figure.view->setOnStepChange([&steps](int step) { steps.push_back(step); });
    figure.tick();
    figure.seconds = 7.0;
    figure.tick();
    EXPECT_EQ(steps, (std::vector<int>{2}));
}

TEST(FigureView, CallbackMayReplaceItselfOrTearTheViewDown) {
    {
        ManualFigure figure;
        int calls = 0;
        figure.view->setOnStepChange([&figure, &calls](int) {
            ++calls;
            figure.view->setOnStepChange([](int) {}); // destroys the running closure's original
        });
        figure.tick();
        figure.seconds = 3.0;
        figure.tick();
        EXPECT_EQ(calls, 1);
    }
    {
        ManualFigure figure;
        QPointer<FigureView> watched(figure.view.get());
        figure.view->setOnStepChange([&figure](int) { figure.view.reset(); });
        figure.tick();
        EXPECT_TRUE(watched.isNull());
    }
    {
        ManualFigure figure;
        QPointer<FigureView> watched(figure.view.get());
        figure.view->setOnStepChange([&figure](int) { figure.view.reset(); });
        figure.view->grab();
        EXPECT_FALSE(watched.isNull()); // never torn down in the middle of its own paint
        QCoreApplication::sendPostedEvents();
        EXPECT_TRUE(watched.isNull());
    }
}

TEST(FigureView, DrawsItsKindAndRedrawsOnlyWhileShown) {
    BackgroundView panel; // as on a rest panel: the figure drawn over the background
    panel.resize(600, 300);
    ManualFigure figure;
    figure.view->setParent(&panel);
    EXPECT_EQ(figure.view->kind(), ActionKind::drink);
    figure.seconds = 1.0;
    const QImage drink = figure.view->grab().toImage();
    figure.view->setKind(ActionKind::breathe);
    figure.view->setLanguage(AppLanguage::german);
    EXPECT_EQ(figure.view->kind(), ActionKind::breathe);
    EXPECT_EQ(figure.view->language(), AppLanguage::german);
    const QImage breathe = figure.view->grab().toImage();
    EXPECT_NE(drink, breathe);
    saveArtifact(panel.grab().toImage(), QStringLiteral("figure-view-breathe-de"));

    auto* timer = figure.view->findChild<QTimer*>();
    ASSERT_NE(timer, nullptr);
    EXPECT_FALSE(timer->isActive());
    int ticks = 0;
    figure.view->setOnTick([&ticks] { ++ticks; });
    panel.show();
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 33);
    QMetaObject::invokeMethod(timer, "timeout");
    QMetaObject::invokeMethod(timer, "timeout");
    EXPECT_EQ(ticks, 2) << "others on the panel tick with the figure";
    panel.hide();
    EXPECT_FALSE(timer->isActive());
}
