#pragma once

#include "FakeRelauncher.h"
#include "GatedUsageEvents.h"
#include "ScriptedAppDialogs.h"
#include "fakes/FakeAutostartService.h"
#include "fakes/FakeBusyProbe.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeIdleTimeSource.h"
#include "fakes/MemoryPreferenceStore.h"
#include "fakes/RecordingRestSurface.h"
#include "fakes/RecordingWarningSurface.h"
#include "shell/LumatideApp.h"

#include <QAction>
#include <QMenu>
#include <QStringList>
#include <memory>

namespace lumatide {

// The application with fakes for every service, launched as the program launches it.
struct AppRig {
    // The arguments are a command line, read as main() reads it.
    explicit AppRig(const QStringList& arguments = {QStringLiteral("lumatide")},
                    bool installed = false)
        : usage(preferences), options_(parseLaunchOptions(arguments)), installed_(installed) {}

    // Creates the application on what the test has stored so far and launches it.
    void launch() {
        app = std::make_unique<LumatideApp>(LumatideAppServices{preferences, clock, rest, warning,
                                                                &idle, &busy, autostart, relauncher,
                                                                usage, dialogs, installed_},
                                            options_);
        app->start();
    }

    // Moves both clocks and lets the tick run, one second at a time.
    void runSeconds(int seconds) {
        for (int i = 0; i < seconds; ++i) {
            clock.advance(1.0);
            app->tick();
        }
    }

    QString title() const;

    MemoryPreferenceStore preferences;
    FakeClock clock;
    RecordingRestSurface rest;
    RecordingWarningSurface warning;
    FakeIdleTimeSource idle;
    FakeBusyProbe busy;
    FakeAutostartService autostart;
    FakeRelauncher relauncher;
    GatedUsageEvents usage;
    ScriptedAppDialogs dialogs;
    std::unique_ptr<LumatideApp> app;

private:
    LaunchOptions options_;
    bool installed_;
};

// The item of the menu (or of one of its submenus) with this title; null when there is none.
QAction* findAction(const QMenu* menu, const QString& title);
// The titles of the menu's rows, with "-" for a separator.
QStringList rowTitles(const QMenu* menu);
// The titles of the checked items of a submenu.
QStringList checkedTitles(const QMenu* menu);
// The submenu behind the row with this title.
QMenu* submenu(const QMenu* menu, const QString& title);

} // namespace lumatide
