// SPDX-License-Identifier: GPL-3.0-or-later
// Interface texts, activities and pose steps of one language.

#include "content/texts/LanguageTables.h"

namespace lumatide {

Texts frenchTexts() {
    return Texts{
        .menuStartBreakNow = QStringLiteral("Commencer la pause"),
        .menuRestartWork = QStringLiteral("Redémarrer le travail"),
        .menuWorkDuration = QStringLiteral("Durée de travail"),
        .menuWorkDurationMinutes = QStringLiteral("%d min"),
        .menuLanguage = QStringLiteral("Langue"),
        .menuLaunchAtLogin = QStringLiteral("Ouvrir à la connexion"),
        .menuAnonymousUsageStats = QStringLiteral("Stats anonymes"),
        .menuQuit = QStringLiteral("Quitter"),
        .unlock = QStringLiteral("Déverrouiller"),
        .passwordPlaceholder = QStringLiteral("Code"),
        .incorrectPassword = QStringLiteral("Code incorrect"),
        .warningStartsIn = QStringLiteral("Pause dans %d secondes"),
        .warningHint = QStringLiteral("Terminez doucement et respirez profondément."),
        .sheetTitleWide = QStringLiteral("Guide des mouvements"),
        .sheetTitleNarrow = QStringLiteral("Guide étape par étape"),
        .poseNumber = QStringLiteral("Étape %d"),
        .poseStepPrefix = QStringLiteral("Étape %d : %@"),
        .busyTitle = QStringLiteral("Activité détectée"),
        .busyMessage = QStringLiteral("Reporter cette pause de 5 minutes ?\n\nAstuce : le report "
                                      "est possible une fois par jour."),
        .busyDeferButton = QStringLiteral("Reporter 5 min"),
        .busyStartButton = QStringLiteral("Commencer la pause"),
        .restartLimitTitle = QStringLiteral("Déjà redémarré aujourd'hui"),
        .restartLimitMessage =
            QStringLiteral("Pour éviter de trop repousser les pauses, le redémarrage du minuteur "
                           "est limité à une fois par jour."),
        .quitConfirmTitle = QStringLiteral("Quitter pendant 1 heure ?"),
        .quitConfirmMessage = QStringLiteral("L'app se relancera automatiquement après 1 heure. La "
                                             "sortie temporaire est limitée à une fois par jour."),
        .quitConfirmButton = QStringLiteral("Quitter 1 h"),
        .quitCancelButton = QStringLiteral("Annuler"),
        .quitLimitTitle = QStringLiteral("Déjà quitté aujourd'hui"),
        .quitLimitMessage = QStringLiteral("La sortie temporaire est limitée à une fois par jour. "
                                           "Gardez le rappel de pause actif."),
        .preferencesProblemTitle = QStringLiteral("Réglages illisibles"),
        .preferencesProblemMessage = QStringLiteral(
            "Lumatide n'a pas pu lire son fichier de réglages et a démarré avec les réglages par "
            "défaut, code intégré compris. Les statistiques d'utilisation anonymes restent "
            "désactivées jusqu'au prochain démarrage de Lumatide. Ancien fichier : %@"),
        .breatheIn = QStringLiteral("Inspirez"),
        .hold = QStringLiteral("Retenez"),
        .breatheOut = QStringLiteral("Expirez"),
        .actions =
            {
                BreakAction{
                    QStringLiteral("Boire de l'eau"),
                    QStringLiteral("Buvez quelques gorgées, levez-vous et regardez au loin."),
                    QStringLiteral("Bougez lentement et respirez naturellement."),
                    ActionKind::drink},
                BreakAction{
                    QStringLiteral("Marcher un peu"),
                    QStringLiteral("Quittez la chaise et marchez doucement trente secondes."),
                    QStringLiteral("Relâchez la mâchoire et les épaules."), ActionKind::drink},
                BreakAction{
                    QStringLiteral("Étirement latéral du cou"),
                    QStringLiteral(
                        "Inclinez doucement la tête d'un côté et baissez l'épaule opposée."),
                    QStringLiteral("Ne tirez pas fort. Arrêtez si cela gêne."),
                    ActionKind::stretch},
                BreakAction{
                    QStringLiteral("Détendre les poignets"),
                    QStringLiteral(
                        "Ouvrez la main, étirez doucement le poignet puis changez de côté."),
                    QStringLiteral("Restez dans une zone confortable."), ActionKind::stretch},
                BreakAction{
                    QStringLiteral("S'étirer vers le haut"),
                    QStringLiteral("Croisez les doigts, levez les mains et allongez le corps."),
                    QStringLiteral("Relâchez les épaules et respirez naturellement."),
                    ActionKind::reach},
                BreakAction{
                    QStringLiteral("Regarder derrière"),
                    QStringLiteral(
                        "Tournez doucement la tête et le buste vers l'arrière, puis changez."),
                    QStringLiteral("Bougez lentement, sans torsion brusque."), ActionKind::reach},
                BreakAction{
                    QStringLiteral("Relâcher le plancher pelvien"),
                    QStringLiteral("Contractez doucement 3 secondes, puis relâchez 5 secondes."),
                    QStringLiteral("Ne bloquez pas la respiration. Arrêtez si besoin."),
                    ActionKind::breathe},
                BreakAction{
                    QStringLiteral("Respirer et relâcher"),
                    QStringLiteral("Contractez légèrement en expirant, relâchez en inspirant."),
                    QStringLiteral("Rappel doux, pas un entraînement médical."),
                    ActionKind::breathe},
                BreakAction{QStringLiteral("Ouverture tai-chi"),
                            QStringLiteral("Tenez-vous stable, montez lentement les mains puis "
                                           "laissez-les descendre."),
                            QStringLiteral("Genoux souples, mouvement lent."), ActionKind::taiChi},
                BreakAction{
                    QStringLiteral("Mains nuage"),
                    QStringLiteral(
                        "Dessinez lentement des cercles devant vous et tournez légèrement."),
                    QStringLiteral("Petite amplitude, sans trop vriller."), ActionKind::taiChi},
                BreakAction{
                    QStringLiteral("Montagne debout"),
                    QStringLiteral("Ancrez les pieds, allongez la colonne et baissez les épaules."),
                    QStringLiteral("Ne verrouillez pas les genoux. Respirez librement."),
                    ActionKind::yoga},
                BreakAction{QStringLiteral("Salutation debout"),
                            QStringLiteral("Inspirez bras levés, expirez mains vers la poitrine."),
                            QStringLiteral("Version légère debout, sans appui au sol."),
                            ActionKind::yoga},
            },
        .poseInstructions =
            {
                {ActionKind::drink,
                 {QStringLiteral("Ancrez les pieds"), QStringLiteral("Relâchez épaules"),
                  QStringLiteral("Prenez l'eau"), QStringLiteral("Main vers bouche"),
                  QStringLiteral("Buvez une gorgée"), QStringLiteral("Baissez le bras"),
                  QStringLiteral("Regardez loin"), QStringLiteral("Respirez naturel")}},
                {ActionKind::stretch,
                 {QStringLiteral("Debout détendu"), QStringLiteral("Épaules basses"),
                  QStringLiteral("Tête de côté"), QStringLiteral("Bras doux"),
                  QStringLiteral("Une respiration"), QStringLiteral("Revenez lentement"),
                  QStringLiteral("Changez côté"), QStringLiteral("Relâchez poignets")}},
                {ActionKind::reach,
                 {QStringLiteral("Ancrez pieds"), QStringLiteral("Croisez doigts"),
                  QStringLiteral("Levez mains"), QStringLiteral("Allongez corps"),
                  QStringLiteral("Relâchez épaules"), QStringLiteral("Tournez doux"),
                  QStringLiteral("Revenez centre"), QStringLiteral("Baissez mains")}},
                {ActionKind::breathe,
                 {QStringLiteral("Debout stable"), QStringLiteral("Bras naturels"),
                  QStringLiteral("Inspirez ouvrez"), QStringLiteral("Relâchez poitrine"),
                  QStringLiteral("Engagez doux"), QStringLiteral("Expirez lent"),
                  QStringLiteral("Relâchez tout"), QStringLiteral("Debout naturel")}},
                {ActionKind::taiChi,
                 {QStringLiteral("Ouvrez posture"), QStringLiteral("Montez mains"),
                  QStringLiteral("Cercle gauche"), QStringLiteral("Déplacez poids"),
                  QStringLiteral("Recevez à droite"), QStringLiteral("Tournez lent"),
                  QStringLiteral("Revenez centre"), QStringLiteral("Fermez calme")}},
                {ActionKind::yoga,
                 {QStringLiteral("Montagne"), QStringLiteral("Inspirez haut"),
                  QStringLiteral("Colonne longue"), QStringLiteral("Ouvrez poitrine"),
                  QStringLiteral("Mains poitrine"), QStringLiteral("Épaules basses"),
                  QStringLiteral("Expirez relâchez"), QStringLiteral("Retour debout")}},
            },
    };
}

} // namespace lumatide
