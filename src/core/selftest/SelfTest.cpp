// SPDX-License-Identifier: GPL-3.0-or-later
#include "selftest/SelfTest.h"

#include "content/Breathing.h"
#include "content/PoseInstructions.h"
#include "content/RestPanelDesign.h"
#include "cycle/BreakTiming.h"
#include "cycle/LaunchOptions.h"
#include "prefs/DailyAllowances.h"
#include "prefs/JsonFilePreferenceStore.h"
#include "prefs/LanguagePreference.h"
#include "prefs/LaunchAtLoginPreference.h"
#include "prefs/Passcode.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/TelemetryPreferences.h"
#include "prefs/TemporaryPreferenceStore.h"
#include "prefs/WorkDuration.h"
#include "sensing/BusyDecision.h"
#include "sensing/IdleRule.h"
#include "system/RelaunchCommands.h"
#include "system/TelemetryPayload.h"

#include <QDateTime>
#include <QJsonObject>
#include <QUuid>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace lumatide {

namespace {

// A failed check ends the process at once, with no message and no output; never compiled out.
void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// A new, empty throw-away store; failing to create one fails the run.
std::unique_ptr<TemporaryPreferenceStore> throwAwayStore(const char* prefix) {
    auto store = std::make_unique<TemporaryPreferenceStore>(QString::fromLatin1(prefix));
    require(store->isValid());
    return store;
}

QStringList argumentList(std::initializer_list<const char*> items) {
    QStringList list;
    for (const char* item : items) {
        list.append(QString::fromUtf8(item));
    }
    return list;
}

bool isUuidText(const QString& text) {
    return text.size() == 36 && !QUuid::fromString(text).isNull();
}

QDateTime breathingInstant(double secondsAfterReference) {
    static const QDateTime reference = QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
    return reference.addMSecs(static_cast<qint64>(secondsAfterReference * 1000.0));
}

double smoothSize(double progress) {
    return 20.0 + 14.0 * progress * progress * (3.0 - 2.0 * progress);
}

void checkCommandLineAndLanguages() {
    const QStringList expectedRaw = argumentList({"zh-Hans", "en", "ja", "ko", "es", "fr", "de"});
    QStringList raw;
    for (AppLanguage language : allLanguages) {
        raw.append(languageCode(language));
    }
    require(raw == expectedRaw);
    const auto options = [](std::initializer_list<const char*> items) {
        return parseLaunchOptions(argumentList(items));
    };
    require(options({"Lumatide", "--demo-language", "en"}).language == AppLanguage::english);
    require(!options({"Lumatide", "--demo-language", "missing"}).language);
    require(options({"Lumatide", "--demo-scenario", "quit-confirm"}).demoScenario ==
            DemoScenario::quitConfirm);
    require(options({"Lumatide", "--demo-scenario", "restart-limit"}).demoScenario ==
            DemoScenario::restartLimit);
    require(!options({"Lumatide", "--demo-scenario", "missing"}).demoScenario);
}

void checkEveryLanguage(const SelfTestSources& sources) {
    for (AppLanguage language : allLanguages) {
        const Texts& texts = sources.texts(language);
        for (const QString* text :
             {&texts.menuLanguage, &texts.menuWorkDuration, &texts.menuWorkDurationMinutes,
              &texts.menuLaunchAtLogin, &texts.restartLimitTitle, &texts.restartLimitMessage,
              &texts.quitConfirmTitle, &texts.quitLimitMessage}) {
            require(!text->isEmpty());
        }
        require(texts.actions.size() == 12);
        require(!poseInstruction(ActionKind::drink, 4, language).isEmpty());
        require(!breathingPhase(breathingInstant(0.0), language).text.isEmpty());
        require(texts.breatheIn == breathingPhase(breathingInstant(0.0), language).text);
    }
}

void checkLaunchAtLogin() {
    auto store = throwAwayStore("LumatideLaunchAtLoginTest.");
    require(shouldDefaultEnableLaunchAtLogin(*store));
    markLaunchAtLoginPreferenceInitialized(*store);
    require(store->contains(launchAtLoginPreferenceInitializedKey));
    require(!shouldDefaultEnableLaunchAtLogin(*store));
}

void checkWorkDuration() {
    require(workMinuteOptions == std::array<int, 5>{30, 35, 40, 45, 50});
    require(normalizedWorkMinutes(20) == 30 && normalizedWorkMinutes(30) == 30 &&
            normalizedWorkMinutes(42) == 42 && normalizedWorkMinutes(50) == 50 &&
            normalizedWorkMinutes(70) == 50);
    auto work = throwAwayStore("LumatideWorkSecondsTest.");
    require(savedWorkMinutes(30.0, *work) * 60.0 == 1800.0);
    require(initialWorkSeconds(LaunchOptions(), *work) == 1800.0);
    auto demo = throwAwayStore("LumatideDemoSecondsTest.");
    // A demo length ignores the store and is at least one second.
    setSavedWorkMinutes(45.0, *demo);
    const auto demoSeconds = [&](const char* seconds) {
        return initialWorkSeconds(
            parseLaunchOptions(argumentList({"Lumatide", "--demo-work-seconds", seconds})), *demo);
    };
    require(demoSeconds("12") == 12.0 && demoSeconds("0.4") == 1.0);
}

void checkDailyAllowances(const QDateTime& t0, const QDateTime& t1) {
    auto restart = throwAwayStore("LumatideRestartTest.");
    require(canManualRestartWorkToday(t0, *restart));
    restart->setString(restartWorkDayKey, dayToken(t0));
    require(!canManualRestartWorkToday(t0, *restart));
    require(canManualRestartWorkToday(t1, *restart));

    require(temporaryQuitDelaySeconds == 3600.0);

    auto quit = throwAwayStore("LumatideQuitTest.");
    require(canTemporaryQuitToday(t0, *quit));
    quit->setString(temporaryQuitDayKey, dayToken(t0));
    require(!canTemporaryQuitToday(t0, *quit));
    require(canTemporaryQuitToday(t1, *quit));
}

void checkRelaunchCommands() {
    const QString installed = QStringLiteral("/usr/bin/lumatide");
    require(relaunchCommand(installed) == QStringLiteral("sleep 3600; exec '/usr/bin/lumatide'"));
    require(relaunchCommand(installed).contains(QStringLiteral("exec '")));
    require(temporaryQuitRelaunchCommand(installed, 3600).contains(QStringLiteral("exec '")));
    require(
        temporaryQuitRelaunchCommand(QString(), 3600).contains(QStringLiteral("systemctl --user")));
}

void checkTextSamples(const SelfTestSources& sources) {
    require(sources.texts(AppLanguage::english).unlock == QStringLiteral("Unlock"));
    require(sources.texts(AppLanguage::japanese).passwordPlaceholder ==
            QStringLiteral("パスコード"));
    require(sources.texts(AppLanguage::korean).menuQuit == QStringLiteral("종료"));
    require(sources.texts(AppLanguage::spanish).busyDeferButton ==
            QStringLiteral("Postpone 5 min"));
    require(sources.texts(AppLanguage::french).incorrectPassword ==
            QStringLiteral("Code incorrect"));
    require(sources.texts(AppLanguage::german).menuStartBreakNow ==
            QStringLiteral("Pause jetzt starten"));
    require(formatSeconds(1800, TimerPhase::work) == QStringLiteral("W 30:00"));
    require(formatSeconds(300, TimerPhase::rest) == QStringLiteral("B 05:00"));
    require(sources.texts(AppLanguage::simplifiedChinese).breatheIn == QStringLiteral("吸气"));
}

void checkBreathing() {
    const auto progress = [](double t) {
        return breathingPhase(breathingInstant(t), AppLanguage::english).progress;
    };
    require(smoothSize(progress(2)) > smoothSize(progress(0)));
    require(smoothSize(progress(7)) > smoothSize(progress(9)));
}

void checkPoseStepsAndActivities(const SelfTestSources& sources) {
    require(poseInstruction(ActionKind::taiChi, 3, AppLanguage::simplifiedChinese)
                .contains(QStringLiteral("重心")));
    require(poseInstruction(ActionKind::drink, 4, AppLanguage::simplifiedChinese)
                .contains(QStringLiteral("喝")));
    require(backgroundAnimationFrameRate <= 1.0 / 18.0 && backgroundBreathingCycle >= 30.0);
    const auto& chinese = sources.texts(AppLanguage::simplifiedChinese).actions;
    require(chinese.size() == 12);
    require(chinese[8].title.contains(QStringLiteral("太极")));
    require(chinese[11].kind == ActionKind::yoga);
}

void checkFigureAndTimingConstants() {
    require(figureWidthRatio >= 0.5 && figureWidthRatio >= 0.8 && figureHeightRatio >= 0.52);
    require(figureMaxWidth >= 1400 && figureMaxHeight >= 800);
    require(figureAnimationFrameRate <= 1.0 / 24.0);
    require(motionStepCount == 4 && motionStepDuration >= 2.8 && poseSheetCellCount == 8);
    require(warningThreshold(1800) == 30 && warningThreshold(10) == 5);
}

void checkUsageEvents(const SelfTestSources& sources, const QDateTime& t0) {
    auto telemetry = throwAwayStore("LumatideTelemetryTest.");
    PreferenceStore& store = *telemetry;
    require(anonymousTelemetryEnabled(store));
    store.setBool(anonymousTelemetryEnabledKey, true);
    require(anonymousTelemetryEnabled(store));
    store.setBool(anonymousTelemetryEnabledKey, false);
    require(!anonymousTelemetryEnabled(store));

    const QString installId = anonymousInstallId(store);
    require(!installId.isEmpty() && installId == anonymousInstallId(store));
    require(isUuidText(installId));

    require(!telemetryEndpointURL(QString()));
    require(!telemetryEndpointURL(QStringLiteral("not a url")));
    require(!telemetryEndpointURL(QStringLiteral("http://events.example.org/events")));
    require(telemetryEndpointURL(QStringLiteral("https://events.example.org/events")).has_value());

    store.setBool(anonymousTelemetryEnabledKey, true);
    const QJsonObject properties{{QStringLiteral("sample"), QStringLiteral("yes")},
                                 {QStringLiteral("count"), 2}};
    const QJsonObject payload = makeTelemetryPayload(QStringLiteral("self_test"), properties, store,
                                                     t0, currentLanguage(store, std::nullopt));
    const auto text = [&](const char* member) {
        const QJsonValue value = payload.value(QString::fromLatin1(member));
        require(value.isString());
        return value.toString();
    };
    require(text("event") == QStringLiteral("self_test"));
    require(text("anonymousInstallId") == installId);
    require(text("language") == languageCode(currentLanguage(store, std::nullopt)));
    const QJsonValue sent = payload.value(QStringLiteral("properties"));
    require(sent.isObject());
    const QJsonValue sample = sent.toObject().value(QStringLiteral("sample"));
    require(sample.isString() && sample.toString() == QStringLiteral("yes"));

    for (AppLanguage language : allLanguages) {
        require(!sources.texts(language).menuAnonymousUsageStats.isEmpty());
    }
}

void checkIdleReset() {
    require(shouldResetWorkAfterIdle(601));
    require(!shouldResetWorkAfterIdle(599));
    require(shouldResetWorkAfterIdle(600));
}

void checkBusyEnvironment() {
    const auto reasonOf = [](const char* report, const char* app, bool fullScreen) {
        const QStringList apps = app ? QStringList{QString::fromUtf8(app)} : QStringList{};
        return detectBusyEnvironment(QString::fromUtf8(report), apps, fullScreen);
    };
    const auto is = [](const std::optional<BusyEnvironment>& environment, BusyReason reason) {
        return environment.has_value() && environment->reason == reason;
    };
    require(is(reasonOf("PreventUserIdleDisplaySleep named: audio", nullptr, false),
               BusyReason::mediaPlayback));
    require(is(reasonOf("", "Zoom", false), BusyReason::meeting));
    require(!reasonOf("", "Google Chrome", false));
    require(!reasonOf("", "Microsoft Edge", false));
    require(is(reasonOf("", "Keynote", false), BusyReason::presentation));
    require(is(reasonOf("", "Finder", true), BusyReason::fullScreenApp));
}

void checkPostponementAndPasscode(const QDateTime& t0) {
    auto first = throwAwayStore("LumatideSelfTest.");
    require(canDeferToday(t0, *first));
    first->setString(deferDayKey, dayToken(t0));
    require(!canDeferToday(t0, *first));

    auto second = throwAwayStore("LumatideSelfTest.");
    require(second->name() != first->name());
    require(canDeferToday(t0, *second));

    auto third = throwAwayStore("LumatideSelfTest.");
    require(currentPasscode(*third) == defaultPasscode);
    require(defaultPasscode == QStringLiteral("482615"));
    require(!isValidNewPasscode(QString()));
    require(!isValidNewPasscode(QStringLiteral("   ")));
    require(isValidNewPasscode(QStringLiteral("907352")));
    setCurrentPasscode(QStringLiteral("907352"), *third);
    require(currentPasscode(*third) == QStringLiteral("907352"));
}

void printReport() {
    static const char* const lines[] = {"self-test ok",        "large-figure ok",
                                        "animated-figure ok",  "step-motion ok",
                                        "pose-sheet ok",       "bear-figure ok",
                                        "breathing-scale ok",  "smooth-breathing-text ok",
                                        "pose-instruction ok", "eye-care-background ok",
                                        "lock-warning ok"};
    for (const char* line : lines) {
        std::fputs(line, stdout);
        std::fputc('\n', stdout);
    }
    std::fflush(stdout);
}

} // namespace

void runSelfTest(const SelfTestSources& sources) {
    const QDateTime t0 = QDateTime::fromSecsSinceEpoch(1800000000, Qt::UTC);
    const QDateTime t1 = t0.addSecs(86400);

    checkCommandLineAndLanguages();
    checkEveryLanguage(sources);
    checkLaunchAtLogin();
    checkWorkDuration();
    checkDailyAllowances(t0, t1);
    checkRelaunchCommands();
    checkTextSamples(sources);
    checkBreathing();
    checkPoseStepsAndActivities(sources);
    checkFigureAndTimingConstants();
    checkUsageEvents(sources, t0);
    checkIdleReset();
    checkBusyEnvironment();
    checkPostponementAndPasscode(t0);
    printReport();
}

} // namespace lumatide
