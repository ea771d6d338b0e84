// SPDX-License-Identifier: GPL-3.0-or-later
// Interface texts, activities and pose steps of one language.

#include "content/texts/LanguageTables.h"

namespace lumatide {

Texts germanTexts() {
    return Texts{
        .menuStartBreakNow = QStringLiteral("Pause jetzt starten"),
        .menuRestartWork = QStringLiteral("Arbeits-Timer neu starten"),
        .menuWorkDuration = QStringLiteral("Arbeitsdauer"),
        .menuWorkDurationMinutes = QStringLiteral("%d Min."),
        .menuLanguage = QStringLiteral("Sprache"),
        .menuLaunchAtLogin = QStringLiteral("Beim Anmelden starten"),
        .menuAnonymousUsageStats = QStringLiteral("Anonyme Nutzungsstatistik"),
        .menuQuit = QStringLiteral("Beenden"),
        .unlock = QStringLiteral("Entsperren"),
        .passwordPlaceholder = QStringLiteral("Code"),
        .incorrectPassword = QStringLiteral("Falscher Code"),
        .warningStartsIn = QStringLiteral("Pause beginnt in %d Sekunden"),
        .warningHint = QStringLiteral("Schließe ruhig ab und atme tief durch."),
        .sheetTitleWide = QStringLiteral("Bewegungsanleitung"),
        .sheetTitleNarrow = QStringLiteral("Schrittanleitung"),
        .poseNumber = QStringLiteral("Schritt %d"),
        .poseStepPrefix = QStringLiteral("Schritt %d: %@"),
        .busyTitle = QStringLiteral("Beschäftigung erkannt"),
        .busyMessage = QStringLiteral("Diese Pause um 5 Minuten verschieben?\n\nHinweis: "
                                      "Verschieben ist einmal pro Tag möglich."),
        .busyDeferButton = QStringLiteral("5 Min. verschieben"),
        .busyStartButton = QStringLiteral("Pause jetzt starten"),
        .restartLimitTitle = QStringLiteral("Heute bereits neu gestartet"),
        .restartLimitMessage =
            QStringLiteral("Damit Pausen nicht zu oft verschoben werden, ist ein Neustart des "
                           "Arbeits-Timers nur einmal pro Tag möglich."),
        .quitConfirmTitle = QStringLiteral("Für 1 Stunde beenden?"),
        .quitConfirmMessage = QStringLiteral("Die App startet nach 1 Stunde automatisch wieder. "
                                             "Vorübergehendes Beenden ist einmal pro Tag erlaubt."),
        .quitConfirmButton = QStringLiteral("1 Stunde beenden"),
        .quitCancelButton = QStringLiteral("Abbrechen"),
        .quitLimitTitle = QStringLiteral("Heute bereits beendet"),
        .quitLimitMessage = QStringLiteral("Vorübergehendes Beenden ist einmal pro Tag erlaubt. "
                                           "Bitte lasse die Pausenerinnerung weiterlaufen."),
        .preferencesProblemTitle = QStringLiteral("Einstellungen nicht lesbar"),
        .preferencesProblemMessage = QStringLiteral(
            "Lumatide konnte seine Einstellungsdatei nicht lesen und wurde mit den "
            "Standardeinstellungen gestartet, einschließlich des eingebauten Codes. Die anonyme "
            "Nutzungsstatistik bleibt bis zum nächsten Start von Lumatide aus. Alte Datei: %@"),
        .breatheIn = QStringLiteral("Einatmen"),
        .hold = QStringLiteral("Halten"),
        .breatheOut = QStringLiteral("Ausatmen"),
        .actions =
            {
                BreakAction{
                    QStringLiteral("Wasser trinken"),
                    QStringLiteral("Trinke ein paar Schlucke, steh auf und schau in die Ferne."),
                    QStringLiteral("Bewege dich langsam und atme natürlich."), ActionKind::drink},
                BreakAction{
                    QStringLiteral("Kurz gehen"),
                    QStringLiteral("Verlasse den Stuhl und gehe eine halbe Minute locker umher."),
                    QStringLiteral("Entspanne Kiefer und Schultern."), ActionKind::drink},
                BreakAction{
                    QStringLiteral("Nacken seitlich dehnen"),
                    QStringLiteral(
                        "Neige den Kopf sanft zur Seite und lass die andere Schulter sinken."),
                    QStringLiteral("Nicht stark ziehen. Stoppe bei Unwohlsein."),
                    ActionKind::stretch},
                BreakAction{
                    QStringLiteral("Handgelenke lösen"),
                    QStringLiteral(
                        "Öffne die Hand, dehne das Handgelenk sanft und wechsle die Seite."),
                    QStringLiteral("Bleib weich und angenehm."), ActionKind::stretch},
                BreakAction{
                    QStringLiteral("Nach oben strecken"),
                    QStringLiteral(
                        "Verschränke die Finger, hebe die Hände und verlängere den Körper."),
                    QStringLiteral("Schultern locker, natürlich atmen."), ActionKind::reach},
                BreakAction{
                    QStringLiteral("Sanft zurückblicken"),
                    QStringLiteral(
                        "Drehe Kopf und Oberkörper sanft nach hinten, dann die andere Seite."),
                    QStringLiteral("Langsam bewegen, nicht ruckartig drehen."), ActionKind::reach},
                BreakAction{QStringLiteral("Beckenboden lösen"),
                            QStringLiteral(
                                "3 Sekunden sanft anspannen, dann 5 Sekunden vollständig lösen."),
                            QStringLiteral("Nicht die Luft anhalten. Stoppe bei Unbehagen."),
                            ActionKind::breathe},
                BreakAction{QStringLiteral("Atmen und lösen"),
                            QStringLiteral("Beim Ausatmen leicht anspannen, beim Einatmen lösen."),
                            QStringLiteral("Sanfte Erinnerung, kein medizinisches Training."),
                            ActionKind::breathe},
                BreakAction{QStringLiteral("Tai-Chi Anfang"),
                            QStringLiteral(
                                "Steh stabil, hebe beide Hände langsam und lass sie weich sinken."),
                            QStringLiteral("Knie locker, langsam wie Wasser."), ActionKind::taiChi},
                BreakAction{
                    QStringLiteral("Tai-Chi Wolkenhände"),
                    QStringLiteral("Kreise die Hände langsam vor dir und drehe den Körper leicht."),
                    QStringLiteral("Kleine Bewegung, nicht zu stark verdrehen."),
                    ActionKind::taiChi},
                BreakAction{
                    QStringLiteral("Berg im Stehen"),
                    QStringLiteral(
                        "Erde beide Füße, verlängere die Wirbelsäule und senke die Schultern."),
                    QStringLiteral("Knie nicht durchdrücken. Ruhig atmen."), ActionKind::yoga},
                BreakAction{QStringLiteral("Sonnengruß im Stehen"),
                            QStringLiteral("Einatmen Arme hoch, ausatmen Hände zurück zur Brust."),
                            QStringLiteral("Leichte stehende Version ohne Bodenstütz."),
                            ActionKind::yoga},
            },
        .poseInstructions =
            {
                {ActionKind::drink,
                 {QStringLiteral("Füße erden"), QStringLiteral("Schultern lösen"),
                  QStringLiteral("Zum Wasser greifen"), QStringLiteral("Hand zum Mund"),
                  QStringLiteral("Schluck trinken"), QStringLiteral("Arm senken"),
                  QStringLiteral("Weit schauen"), QStringLiteral("Natürlich atmen")}},
                {ActionKind::stretch,
                 {QStringLiteral("Locker stehen"), QStringLiteral("Schultern senken"),
                  QStringLiteral("Kopf neigen"), QStringLiteral("Arm sanft"),
                  QStringLiteral("Ein Atemzug"), QStringLiteral("Langsam zurück"),
                  QStringLiteral("Seite wechseln"), QStringLiteral("Handgelenke lösen")}},
                {ActionKind::reach,
                 {QStringLiteral("Füße erden"), QStringLiteral("Finger verschränken"),
                  QStringLiteral("Hände heben"), QStringLiteral("Körper lang"),
                  QStringLiteral("Schultern lösen"), QStringLiteral("Sanft drehen"),
                  QStringLiteral("Zur Mitte"), QStringLiteral("Hände senken")}},
                {ActionKind::breathe,
                 {QStringLiteral("Stabil stehen"), QStringLiteral("Arme natürlich"),
                  QStringLiteral("Einatmen öffnen"), QStringLiteral("Brust lösen"),
                  QStringLiteral("Sanft aktivieren"), QStringLiteral("Langsam ausatmen"),
                  QStringLiteral("Ganz lösen"), QStringLiteral("Natürlich stehen")}},
                {ActionKind::taiChi,
                 {QStringLiteral("Stand öffnen"), QStringLiteral("Hände heben"),
                  QStringLiteral("Linke Hand kreist"), QStringLiteral("Gewicht verlagern"),
                  QStringLiteral("Rechts aufnehmen"), QStringLiteral("Langsam drehen"),
                  QStringLiteral("Zur Mitte"), QStringLiteral("Ruhig schließen")}},
                {ActionKind::yoga,
                 {QStringLiteral("Bergstand"), QStringLiteral("Einatmen hoch"),
                  QStringLiteral("Wirbelsäule lang"), QStringLiteral("Brust öffnen"),
                  QStringLiteral("Hände zur Brust"), QStringLiteral("Schultern senken"),
                  QStringLiteral("Ausatmen lösen"), QStringLiteral("Zurück stehen")}},
            },
    };
}

} // namespace lumatide
