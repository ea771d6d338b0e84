// SPDX-License-Identifier: GPL-3.0-or-later
// Interface texts, activities and pose steps of one language.

#include "content/texts/LanguageTables.h"

namespace lumatide {

Texts englishTexts() {
    return Texts{
        .menuStartBreakNow = QStringLiteral("Start Break Now"),
        .menuRestartWork = QStringLiteral("Restart Work Timer"),
        .menuWorkDuration = QStringLiteral("Work Duration"),
        .menuWorkDurationMinutes = QStringLiteral("%d min"),
        .menuLanguage = QStringLiteral("Language"),
        .menuLaunchAtLogin = QStringLiteral("Launch at Login"),
        .menuAnonymousUsageStats = QStringLiteral("Anonymous Usage Stats"),
        .menuQuit = QStringLiteral("Quit"),
        .unlock = QStringLiteral("Unlock"),
        .passwordPlaceholder = QStringLiteral("Passcode"),
        .incorrectPassword = QStringLiteral("Incorrect passcode"),
        .warningStartsIn = QStringLiteral("Break starts in %d seconds"),
        .warningHint = QStringLiteral("Wrap up gently and take a slow breath."),
        .sheetTitleWide = QStringLiteral("Movement Guide"),
        .sheetTitleNarrow = QStringLiteral("Step-by-Step Guide"),
        .poseNumber = QStringLiteral("Step %d"),
        .poseStepPrefix = QStringLiteral("Step %d: %@"),
        .busyTitle = QStringLiteral("Busy state detected"),
        .busyMessage = QStringLiteral(
            "Postpone this break by 5 minutes?\n\nTip: you can postpone once per day."),
        .busyDeferButton = QStringLiteral("Postpone 5 min"),
        .busyStartButton = QStringLiteral("Start Break Now"),
        .restartLimitTitle = QStringLiteral("Already restarted today"),
        .restartLimitMessage = QStringLiteral("To avoid delaying breaks too often, restarting the "
                                              "work timer is allowed once per day."),
        .quitConfirmTitle = QStringLiteral("Quit for 1 hour?"),
        .quitConfirmMessage = QStringLiteral("The app will start again automatically after 1 hour. "
                                             "Temporary quit is allowed once per day."),
        .quitConfirmButton = QStringLiteral("Quit for 1 hour"),
        .quitCancelButton = QStringLiteral("Cancel"),
        .quitLimitTitle = QStringLiteral("Already quit today"),
        .quitLimitMessage = QStringLiteral(
            "Temporary quit is allowed once per day. Please keep the break reminder running."),
        .preferencesProblemTitle = QStringLiteral("Settings could not be read"),
        .preferencesProblemMessage =
            QStringLiteral("Lumatide could not read its settings file and started with the default "
                           "settings, including the built-in passcode. Anonymous usage statistics "
                           "stay off until Lumatide starts again. The old file: %@"),
        .breatheIn = QStringLiteral("Inhale"),
        .hold = QStringLiteral("Hold"),
        .breatheOut = QStringLiteral("Exhale"),
        .actions =
            {
                BreakAction{
                    QStringLiteral("Drink Water"),
                    QStringLiteral("Take a few sips, stand up, and look into the distance."),
                    QStringLiteral("Move slowly and keep breathing naturally."), ActionKind::drink},
                BreakAction{QStringLiteral("Walk Around"),
                            QStringLiteral("Leave the chair and walk lightly for half a minute."),
                            QStringLiteral("Relax your jaw and shoulders as you move."),
                            ActionKind::drink},
                BreakAction{
                    QStringLiteral("Neck Side Stretch"),
                    QStringLiteral(
                        "Tilt your head gently to one side and let the opposite shoulder drop."),
                    QStringLiteral("Do not pull hard. Stop if anything feels wrong."),
                    ActionKind::stretch},
                BreakAction{
                    QStringLiteral("Wrist Release"),
                    QStringLiteral("Open your palm, gently stretch the wrist, then switch sides."),
                    QStringLiteral("Keep it soft and comfortable."), ActionKind::stretch},
                BreakAction{QStringLiteral("Reach Up"),
                            QStringLiteral(
                                "Interlace your fingers, lift both hands, and lengthen the body."),
                            QStringLiteral("Relax your shoulders and breathe naturally."),
                            ActionKind::reach},
                BreakAction{
                    QStringLiteral("Look Back Gently"),
                    QStringLiteral(
                        "Turn your head and upper body gently behind you, then switch sides."),
                    QStringLiteral("Move slowly. Do not twist suddenly."), ActionKind::reach},
                BreakAction{QStringLiteral("Pelvic Floor Release"),
                            QStringLiteral(
                                "Gently contract for 3 seconds, then fully relax for 5 seconds."),
                            QStringLiteral("Do not hold your breath. Stop if uncomfortable."),
                            ActionKind::breathe},
                BreakAction{QStringLiteral("Breath With Release"),
                            QStringLiteral("Lightly contract as you exhale, relax as you inhale."),
                            QStringLiteral("This is a gentle reminder, not medical training."),
                            ActionKind::breathe},
                BreakAction{
                    QStringLiteral("Tai Chi Opening"),
                    QStringLiteral(
                        "Stand steady, slowly raise both hands, then let them fall softly."),
                    QStringLiteral("Keep knees relaxed and move slowly."), ActionKind::taiChi},
                BreakAction{
                    QStringLiteral("Tai Chi Cloud Hands"),
                    QStringLiteral(
                        "Circle both hands slowly in front of you and turn the body lightly."),
                    QStringLiteral("Keep the range small. Do not overtwist."), ActionKind::taiChi},
                BreakAction{
                    QStringLiteral("Standing Mountain"),
                    QStringLiteral("Ground both feet, lengthen the spine, and let shoulders sink."),
                    QStringLiteral("Do not lock your knees. Keep breathing easy."),
                    ActionKind::yoga},
                BreakAction{
                    QStringLiteral("Standing Sun Stretch"),
                    QStringLiteral("Inhale as arms rise, exhale as hands return to the chest."),
                    QStringLiteral("This is a light standing version, with no floor support."),
                    ActionKind::yoga},
            },
        .poseInstructions =
            {
                {ActionKind::drink,
                 {QStringLiteral("Plant your feet"), QStringLiteral("Relax shoulders"),
                  QStringLiteral("Reach for water"), QStringLiteral("Bring hand closer"),
                  QStringLiteral("Take a sip"), QStringLiteral("Lower the arm"),
                  QStringLiteral("Look far away"), QStringLiteral("Breathe naturally")}},
                {ActionKind::stretch,
                 {QStringLiteral("Stand relaxed"), QStringLiteral("Drop shoulders"),
                  QStringLiteral("Tilt head softly"), QStringLiteral("Extend arm gently"),
                  QStringLiteral("Hold one breath"), QStringLiteral("Return slowly"),
                  QStringLiteral("Switch sides"), QStringLiteral("Release wrists")}},
                {ActionKind::reach,
                 {QStringLiteral("Ground both feet"), QStringLiteral("Interlace fingers"),
                  QStringLiteral("Lift both hands"), QStringLiteral("Lengthen body"),
                  QStringLiteral("Relax shoulders"), QStringLiteral("Turn gently"),
                  QStringLiteral("Return to center"), QStringLiteral("Lower hands")}},
                {ActionKind::breathe,
                 {QStringLiteral("Stand steady"), QStringLiteral("Arms rest naturally"),
                  QStringLiteral("Inhale open"), QStringLiteral("Relax chest"),
                  QStringLiteral("Engage softly"), QStringLiteral("Exhale slowly"),
                  QStringLiteral("Fully release"), QStringLiteral("Stand naturally")}},
                {ActionKind::taiChi,
                 {QStringLiteral("Open stance"), QStringLiteral("Raise hands"),
                  QStringLiteral("Circle left hand"), QStringLiteral("Shift weight"),
                  QStringLiteral("Receive with right"), QStringLiteral("Turn slowly"),
                  QStringLiteral("Return center"), QStringLiteral("Close quietly")}},
                {ActionKind::yoga,
                 {QStringLiteral("Stand tall"), QStringLiteral("Inhale arms up"),
                  QStringLiteral("Lengthen spine"), QStringLiteral("Open chest"),
                  QStringLiteral("Hands to chest"), QStringLiteral("Shoulders sink"),
                  QStringLiteral("Exhale release"), QStringLiteral("Return to stand")}},
            },
    };
}

} // namespace lumatide
