#include "AppRig.h"
#include "prefs/DailyAllowances.h"
#include "prefs/PreferenceKeys.h"
#include "shell/DemoBackdropWindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>
#include <gtest/gtest.h>

namespace lumatide {
namespace {

QString s(const char* text) {
    return QString::fromUtf8(text);
}

QStringList withScenario(const char* scenario) {
    return {s("lumatide"), s("--demo-scenario"), s(scenario)};
}

TEST(DemoScenarios, ScheduledOnlyWhenAskedBackdropOnce) {
    AppRig plain;
    plain.launch();
    EXPECT_EQ(plain.app->demoTimer(), nullptr);
    plain.app->showDemoBackdrop();
    EXPECT_EQ(plain.app->demoBackdropWindow(), nullptr);

    AppRig unknown(withScenario("quit"));
    unknown.launch();
    EXPECT_EQ(unknown.app->demoTimer(), nullptr);

    AppRig demo(withScenario("quit-limit"));
    demo.launch();
    QTimer* timer = demo.app->demoTimer();
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_TRUE(timer->isSingleShot());
    EXPECT_EQ(timer->interval(), 800);
    // Nothing is shown before the timer fires.
    EXPECT_EQ(demo.app->demoBackdropWindow(), nullptr);
    EXPECT_TRUE(demo.dialogs.shown.isEmpty());

    demo.app->performDemoScenario(DemoScenario::quitLimit);
    QWidget* backdrop = demo.app->demoBackdropWindow();
    ASSERT_NE(backdrop, nullptr);
    EXPECT_TRUE(backdrop->isVisible());
    EXPECT_EQ(backdrop->geometry(), QGuiApplication::primaryScreen()->geometry());
    EXPECT_TRUE(backdrop->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(backdrop->windowFlags().testFlag(Qt::FramelessWindowHint));
    const QImage drawn = backdrop->grab().toImage();
    EXPECT_EQ(drawn.pixelColor(drawn.width() / 2, drawn.height() / 2).rgb(),
              QColor::fromRgbF(0.027F, 0.071F, 0.075F).rgb());
    EXPECT_EQ(demo.dialogs.shown, QStringList({s("showTemporaryQuitLimit")}));
    // Nothing is recorded: the real quit still asks that day.
    EXPECT_TRUE(canTemporaryQuitToday(demo.clock.wallNow(), demo.preferences));

    demo.app->showDemoBackdrop();
    demo.app->performDemoScenario(DemoScenario::quitLimit);
    EXPECT_EQ(demo.app->demoBackdropWindow(), backdrop);
}

TEST(DemoScenarios, QuitConfirmChangesNothingRestartLimitUsesTheDay) {
    AppRig confirm(withScenario("quit-confirm"));
    confirm.dialogs.confirmAnswer = true;
    confirm.launch();
    QSignalSpy quits(confirm.app.get(), &LumatideApp::quitRequested);
    confirm.app->performDemoScenario(DemoScenario::quitConfirm);
    EXPECT_EQ(confirm.dialogs.shown, QStringList({s("confirmTemporaryQuit")}));
    EXPECT_EQ(quits.count(), 0);
    EXPECT_EQ(confirm.relauncher.requestCount, 0);
    EXPECT_FALSE(confirm.preferences.contains(temporaryQuitDayKey));

    AppRig restart(withScenario("restart-limit"));
    restart.preferences.setString(languageKey, QStringLiteral("ko"));
    restart.launch();
    restart.app->performDemoScenario(DemoScenario::restartLimit);
    EXPECT_EQ(restart.dialogs.shown, QStringList({s("showManualRestartLimit")}));
    EXPECT_EQ(restart.dialogs.lastLanguage, AppLanguage::korean);
    EXPECT_EQ(restart.preferences.string(restartWorkDayKey), dayToken(restart.clock.wallNow()));
    // The real command now hits the same limit.
    restart.runSeconds(5);
    restart.app->manualRestartWork();
    EXPECT_EQ(restart.dialogs.shown.size(), 2);
    EXPECT_EQ(restart.dialogs.shown.last(), s("showManualRestartLimit"));
    EXPECT_EQ(restart.app->cycle().remainingSeconds(), 30 * 60 - 5);
}

} // namespace
} // namespace lumatide
