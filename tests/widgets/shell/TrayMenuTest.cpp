#include "shell/TrayMenu.h"

#include "AppRig.h"
#include "prefs/LanguagePreference.h"
#include "prefs/PreferenceKeys.h"

#include <QKeySequence>
#include <gtest/gtest.h>

namespace lumatide {
namespace {

QString s(const char* text) {
    return QString::fromUtf8(text);
}

TEST(TrayMenu, RowsShortcutsAndSubmenusInEnglishAndGerman) {
    AppRig rig;
    rig.preferences.setString(languageKey, QStringLiteral("en"));
    rig.preferences.setDouble(workMinutesKey, 40);
    rig.launch();
    QMenu* menu = rig.app->trayMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(rowTitles(menu),
              QStringList({s("Start Break Now"), s("Restart Work Timer"), s("-"),
                           s("Work Duration"), s("Language"), s("Launch at Login"),
                           s("Anonymous Usage Stats"), s("Reset Passcode"), s("-"), s("Quit")}));
    EXPECT_EQ(findAction(menu, s("Start Break Now"))->shortcut(),
              QKeySequence(Qt::CTRL | Qt::Key_B));
    EXPECT_EQ(findAction(menu, s("Restart Work Timer"))->shortcut(),
              QKeySequence(Qt::CTRL | Qt::Key_R));
    EXPECT_EQ(findAction(menu, s("Quit"))->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    EXPECT_TRUE(findAction(menu, s("Launch at Login"))->shortcut().isEmpty());
    for (const QAction* row : menu->actions()) {
        EXPECT_TRUE(row->isEnabled()) << row->text().toStdString();
    }

    QMenu* work = submenu(menu, s("Work Duration"));
    ASSERT_NE(work, nullptr);
    EXPECT_EQ(rowTitles(work),
              QStringList({s("30 min"), s("35 min"), s("40 min"), s("45 min"), s("50 min")}));
    EXPECT_EQ(checkedTitles(work), QStringList({s("40 min")}));
    QList<int> minutes;
    for (const QAction* item : work->actions()) {
        minutes.append(item->data().toInt());
    }
    EXPECT_EQ(minutes, QList<int>({30, 35, 40, 45, 50}));

    const QStringList ownNames{s("中文简体"), s("English"),  s("日本語"), s("한국어"),
                               s("Español"),  s("Français"), s("Deutsch")};
    QMenu* languages = submenu(menu, s("Language"));
    ASSERT_NE(languages, nullptr);
    EXPECT_EQ(rowTitles(languages), ownNames);
    EXPECT_EQ(checkedTitles(languages), QStringList({s("English")}));
    EXPECT_EQ(findAction(languages, s("日本語"))->data().toString(), s("ja"));

    // Picking German rebuilds every title in German; the language names stay their own.
    findAction(languages, s("Deutsch"))->trigger();
    menu = rig.app->trayMenu();
    EXPECT_EQ(rowTitles(menu),
              QStringList({s("Pause jetzt starten"), s("Arbeits-Timer neu starten"), s("-"),
                           s("Arbeitsdauer"), s("Sprache"), s("Beim Anmelden starten"),
                           s("Anonyme Nutzungsstatistik"), s("Code zurücksetzen"), s("-"),
                           s("Beenden")}));
    EXPECT_EQ(rowTitles(submenu(menu, s("Arbeitsdauer"))),
              QStringList({s("30 Min."), s("35 Min."), s("40 Min."), s("45 Min."), s("50 Min.")}));
    EXPECT_EQ(checkedTitles(submenu(menu, s("Arbeitsdauer"))), QStringList({s("40 Min.")}));
    EXPECT_EQ(rowTitles(submenu(menu, s("Sprache"))), ownNames);
    EXPECT_EQ(checkedTitles(submenu(menu, s("Sprache"))), QStringList({s("Deutsch")}));
    EXPECT_EQ(rig.preferences.string(languageKey), s("de"));
    // A language change is no usage event.
    EXPECT_FALSE(rig.usage.sent.contains(s("language_changed")));
    EXPECT_EQ(rig.usage.sent.size(), 1); // only "app_open"
}

TEST(TrayMenu, CheckmarksFollowWorkLengthLanguageOverrideAndSwitches) {
    // 37 minutes is no option: no work length is checked.
    AppRig odd({s("lumatide"), s("--demo-language"), s("fr"), s("--work-minutes"), s("37")});
    odd.preferences.setString(languageKey, QStringLiteral("de"));
    odd.autostart.enabled = true;
    odd.preferences.setBool(anonymousTelemetryEnabledKey, false);
    odd.launch();
    QMenu* menu = odd.app->trayMenu();
    EXPECT_TRUE(checkedTitles(submenu(menu, s("Durée de travail"))).isEmpty());
    // The forced language is the checked one, not the stored one.
    EXPECT_EQ(checkedTitles(submenu(menu, s("Langue"))), QStringList({s("Français")}));
    EXPECT_TRUE(findAction(menu, s("Ouvrir à la connexion"))->isChecked());
    EXPECT_FALSE(findAction(menu, s("Stats anonymes"))->isChecked());

    // A demo length of 12 s checks nothing either.
    AppRig demo({s("lumatide"), s("--demo-work-seconds"), s("12")});
    demo.preferences.setString(languageKey, QStringLiteral("en"));
    demo.launch();
    EXPECT_TRUE(checkedTitles(submenu(demo.app->trayMenu(), s("Work Duration"))).isEmpty());
    EXPECT_FALSE(findAction(demo.app->trayMenu(), s("Launch at Login"))->isChecked());
    EXPECT_TRUE(findAction(demo.app->trayMenu(), s("Anonymous Usage Stats"))->isChecked());

    // Rounding to whole minutes goes half away from zero.
    EXPECT_EQ(checkedWorkMinutes(39.5 * 60.0), 40);
    EXPECT_EQ(checkedWorkMinutes(34.49 * 60.0), std::nullopt);
    EXPECT_EQ(checkedWorkMinutes(34.5 * 60.0), 35);
    EXPECT_EQ(checkedWorkMinutes(50.0 * 60.0), 50);
    EXPECT_EQ(checkedWorkMinutes(std::nan("")), std::nullopt);
}

} // namespace
} // namespace lumatide
