// SPDX-License-Identifier: GPL-3.0-or-later
// Interface texts, activities and pose steps of one language.

#include "content/texts/LanguageTables.h"

namespace lumatide {

Texts spanishTexts() {
    return Texts{
        .menuStartBreakNow = QStringLiteral("Iniciar descanso ahora"),
        .menuRestartWork = QStringLiteral("Reiniciar temporizador"),
        .menuWorkDuration = QStringLiteral("Duración de trabajo"),
        .menuWorkDurationMinutes = QStringLiteral("%d min"),
        .menuLanguage = QStringLiteral("Idioma"),
        .menuLaunchAtLogin = QStringLiteral("Abrir al iniciar sesión"),
        .menuAnonymousUsageStats = QStringLiteral("Estadísticas anónimas"),
        .menuQuit = QStringLiteral("Salir"),
        .unlock = QStringLiteral("Desbloquear"),
        .passwordPlaceholder = QStringLiteral("Código"),
        .incorrectPassword = QStringLiteral("Código incorrecto"),
        .warningStartsIn = QStringLiteral("El descanso empieza en %d segundos"),
        .warningHint = QStringLiteral("Termina con calma y respira profundo."),
        .sheetTitleWide = QStringLiteral("Guía de movimiento"),
        .sheetTitleNarrow = QStringLiteral("Guía paso a paso"),
        .poseNumber = QStringLiteral("Paso %d"),
        .poseStepPrefix = QStringLiteral("Paso %d: %@"),
        .busyTitle = QStringLiteral("Estado ocupado detectado"),
        .busyMessage = QStringLiteral(
            "¿Posponer este descanso 5 minutos?\n\nConsejo: solo puedes posponer una vez al día."),
        .busyDeferButton = QStringLiteral("Postpone 5 min"),
        .busyStartButton = QStringLiteral("Iniciar descanso ahora"),
        .restartLimitTitle = QStringLiteral("Ya se reinició hoy"),
        .restartLimitMessage = QStringLiteral("Para no retrasar demasiado los descansos, reiniciar "
                                              "el temporizador solo se permite una vez al día."),
        .quitConfirmTitle = QStringLiteral("¿Salir por 1 hora?"),
        .quitConfirmMessage = QStringLiteral("La app se abrirá automáticamente después de 1 hora. "
                                             "La salida temporal solo se permite una vez al día."),
        .quitConfirmButton = QStringLiteral("Salir 1 hora"),
        .quitCancelButton = QStringLiteral("Cancelar"),
        .quitLimitTitle = QStringLiteral("Ya saliste hoy"),
        .quitLimitMessage = QStringLiteral("La salida temporal solo se permite una vez al día. "
                                           "Mantén activo el recordatorio de descanso."),
        .preferencesProblemTitle = QStringLiteral("No se pudo leer la configuración"),
        .preferencesProblemMessage = QStringLiteral(
            "Lumatide no pudo leer su archivo de configuración y se inició con la configuración "
            "predeterminada, incluido el código integrado. Las estadísticas de uso anónimas "
            "seguirán desactivadas hasta que Lumatide vuelva a iniciarse. Archivo anterior: %@"),
        .breatheIn = QStringLiteral("Inhala"),
        .hold = QStringLiteral("Mantén"),
        .breatheOut = QStringLiteral("Exhala"),
        .actions =
            {
                BreakAction{QStringLiteral("Beber agua"),
                            QStringLiteral("Toma unos sorbos, ponte de pie y mira a lo lejos."),
                            QStringLiteral("Muévete despacio y respira con naturalidad."),
                            ActionKind::drink},
                BreakAction{QStringLiteral("Caminar un poco"),
                            QStringLiteral("Aléjate de la silla y camina suave medio minuto."),
                            QStringLiteral("Relaja la mandíbula y los hombros."),
                            ActionKind::drink},
                BreakAction{QStringLiteral("Estiramiento lateral del cuello"),
                            QStringLiteral(
                                "Inclina la cabeza suavemente a un lado y baja el hombro opuesto."),
                            QStringLiteral("No tires fuerte. Detente si molesta."),
                            ActionKind::stretch},
                BreakAction{
                    QStringLiteral("Relajar muñecas"),
                    QStringLiteral("Abre la mano, estira suavemente la muñeca y cambia de lado."),
                    QStringLiteral("Mantén el movimiento cómodo."), ActionKind::stretch},
                BreakAction{
                    QStringLiteral("Estirar hacia arriba"),
                    QStringLiteral("Entrelaza los dedos, eleva las manos y alarga el cuerpo."),
                    QStringLiteral("Relaja los hombros y respira natural."), ActionKind::reach},
                BreakAction{QStringLiteral("Mirar atrás"),
                            QStringLiteral(
                                "Gira suavemente la cabeza y el torso hacia atrás, luego cambia."),
                            QStringLiteral("Muévete lento, sin giros bruscos."), ActionKind::reach},
                BreakAction{
                    QStringLiteral("Soltar suelo pélvico"),
                    QStringLiteral("Contrae suave 3 segundos y relaja por completo 5 segundos."),
                    QStringLiteral("No contengas la respiración. Detente si incomoda."),
                    ActionKind::breathe},
                BreakAction{QStringLiteral("Respirar y soltar"),
                            QStringLiteral("Contrae suavemente al exhalar y relaja al inhalar."),
                            QStringLiteral("Es un recordatorio suave, no entrenamiento médico."),
                            ActionKind::breathe},
                BreakAction{
                    QStringLiteral("Inicio de tai chi"),
                    QStringLiteral("Ponte estable, sube lentamente las manos y déjalas bajar."),
                    QStringLiteral("Relaja las rodillas y muévete despacio."), ActionKind::taiChi},
                BreakAction{
                    QStringLiteral("Manos de nube"),
                    QStringLiteral(
                        "Dibuja círculos lentos con las manos y gira ligeramente el cuerpo."),
                    QStringLiteral("Usa poco rango, sin torcer demasiado."), ActionKind::taiChi},
                BreakAction{
                    QStringLiteral("Montaña de pie"),
                    QStringLiteral("Apoya ambos pies, alarga la columna y baja los hombros."),
                    QStringLiteral("No bloquees las rodillas. Respira cómodo."), ActionKind::yoga},
                BreakAction{
                    QStringLiteral("Saludo al sol de pie"),
                    QStringLiteral("Inhala al subir los brazos y exhala al volver al pecho."),
                    QStringLiteral("Versión ligera de pie, sin apoyo en el suelo."),
                    ActionKind::yoga},
            },
        .poseInstructions =
            {
                {ActionKind::drink,
                 {QStringLiteral("Afirma los pies"), QStringLiteral("Relaja hombros"),
                  QStringLiteral("Busca el agua"), QStringLiteral("Mano a la boca"),
                  QStringLiteral("Toma un sorbo"), QStringLiteral("Baja el brazo"),
                  QStringLiteral("Mira lejos"), QStringLiteral("Respira natural")}},
                {ActionKind::stretch,
                 {QStringLiteral("Ponte cómodo"), QStringLiteral("Baja hombros"),
                  QStringLiteral("Inclina cabeza"), QStringLiteral("Extiende brazo"),
                  QStringLiteral("Una respiración"), QStringLiteral("Vuelve lento"),
                  QStringLiteral("Cambia lado"), QStringLiteral("Relaja muñecas")}},
                {ActionKind::reach,
                 {QStringLiteral("Afirma pies"), QStringLiteral("Entrelaza dedos"),
                  QStringLiteral("Sube manos"), QStringLiteral("Alarga cuerpo"),
                  QStringLiteral("Relaja hombros"), QStringLiteral("Gira suave"),
                  QStringLiteral("Vuelve al centro"), QStringLiteral("Baja manos")}},
                {ActionKind::breathe,
                 {QStringLiteral("Ponte estable"), QStringLiteral("Brazos naturales"),
                  QStringLiteral("Inhala y abre"), QStringLiteral("Relaja pecho"),
                  QStringLiteral("Activa suave"), QStringLiteral("Exhala lento"),
                  QStringLiteral("Suelta todo"), QStringLiteral("Vuelve a estar")}},
                {ActionKind::taiChi,
                 {QStringLiteral("Abre postura"), QStringLiteral("Sube manos"),
                  QStringLiteral("Círculo izquierdo"), QStringLiteral("Cambia peso"),
                  QStringLiteral("Recibe derecha"), QStringLiteral("Gira lento"),
                  QStringLiteral("Vuelve al centro"), QStringLiteral("Cierra tranquilo")}},
                {ActionKind::yoga,
                 {QStringLiteral("Montaña"), QStringLiteral("Inhala arriba"),
                  QStringLiteral("Columna larga"), QStringLiteral("Abre pecho"),
                  QStringLiteral("Manos al pecho"), QStringLiteral("Baja hombros"),
                  QStringLiteral("Exhala y suelta"), QStringLiteral("Vuelve de pie")}},
            },
    };
}

} // namespace lumatide
