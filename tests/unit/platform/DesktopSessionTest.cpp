#include "linux/DesktopSession.h"

#include <gtest/gtest.h>

using namespace lumatide;

namespace {

QProcessEnvironment environment(std::initializer_list<std::pair<const char*, const char*>> vars) {
    QProcessEnvironment result;
    for (const auto& [name, value] : vars) {
        result.insert(QString::fromUtf8(name), QString::fromUtf8(value));
    }
    return result;
}

} // namespace

TEST(DesktopSession, IdleTimeBackendFollowsTheSession) {
    EXPECT_EQ(chooseIdleTimeBackend(environment({{"DISPLAY", ":0"}})),
              IdleTimeBackend::x11ScreenSaver);
    EXPECT_EQ(
        chooseIdleTimeBackend(environment(
            {{"DISPLAY", ":0"}, {"XDG_SESSION_TYPE", "x11"}, {"XDG_CURRENT_DESKTOP", "GNOME"}})),
        IdleTimeBackend::x11ScreenSaver);
    EXPECT_EQ(chooseIdleTimeBackend(environment({})), IdleTimeBackend::none);
    EXPECT_EQ(chooseIdleTimeBackend(environment({{"XDG_SESSION_TYPE", "tty"}})),
              IdleTimeBackend::none);

    // Wayland, however it shows, never uses the X server even when one is reachable.
    EXPECT_EQ(chooseIdleTimeBackend(environment({{"DISPLAY", ":0"},
                                                 {"XDG_SESSION_TYPE", "wayland"},
                                                 {"XDG_CURRENT_DESKTOP", "ubuntu:GNOME"}})),
              IdleTimeBackend::gnomeMutter);
    EXPECT_EQ(
        chooseIdleTimeBackend(environment(
            {{"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "wayland-0"}, {"XDG_CURRENT_DESKTOP", "KDE"}})),
        IdleTimeBackend::kdeScreenSaver);
    EXPECT_EQ(chooseIdleTimeBackend(environment({{"DISPLAY", ":0"},
                                                 {"WAYLAND_DISPLAY", "wayland-1"},
                                                 {"XDG_CURRENT_DESKTOP", "sway"}})),
              IdleTimeBackend::none);
    EXPECT_EQ(chooseIdleTimeBackend(
                  environment({{"XDG_SESSION_TYPE", "wayland"}, {"DESKTOP_SESSION", "plasma"}})),
              IdleTimeBackend::kdeScreenSaver);
}

TEST(DesktopSession, DesktopNamesAreWholeEntriesOfTheList) {
    const auto gnomeClassic = environment({{"XDG_CURRENT_DESKTOP", "GNOME-Classic:GNOME"}});
    EXPECT_TRUE(desktopIs(gnomeClassic, QLatin1String("GNOME")));
    EXPECT_TRUE(desktopIs(gnomeClassic, QLatin1String("gnome")));
    EXPECT_FALSE(desktopIs(gnomeClassic, QLatin1String("GNOME-Flashback")));
    EXPECT_FALSE(
        desktopIs(environment({{"XDG_CURRENT_DESKTOP", "GNOMEish"}}), QLatin1String("GNOME")));
    // XDG_CURRENT_DESKTOP wins over DESKTOP_SESSION.
    EXPECT_FALSE(
        desktopIs(environment({{"XDG_CURRENT_DESKTOP", "XFCE"}, {"DESKTOP_SESSION", "gnome"}}),
                  QLatin1String("GNOME")));
}
