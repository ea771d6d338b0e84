// SPDX-License-Identifier: GPL-3.0-or-later
// Interface texts, activities and pose steps of one language.

#include "content/texts/LanguageTables.h"

namespace lumatide {

Texts koreanTexts() {
    return Texts{
        .menuStartBreakNow = QStringLiteral("지금 휴식 시작"),
        .menuRestartWork = QStringLiteral("작업 타이머 다시 시작"),
        .menuWorkDuration = QStringLiteral("작업 시간"),
        .menuWorkDurationMinutes = QStringLiteral("%d분"),
        .menuLanguage = QStringLiteral("언어"),
        .menuLaunchAtLogin = QStringLiteral("로그인 시 실행"),
        .menuAnonymousUsageStats = QStringLiteral("익명 사용 통계"),
        .menuQuit = QStringLiteral("종료"),
        .unlock = QStringLiteral("잠금 해제"),
        .passwordPlaceholder = QStringLiteral("암호"),
        .incorrectPassword = QStringLiteral("암호가 틀렸습니다"),
        .warningStartsIn = QStringLiteral("%d초 후 휴식 시작"),
        .warningHint = QStringLiteral("마무리하고 천천히 숨을 쉬어 보세요."),
        .sheetTitleWide = QStringLiteral("동작 가이드"),
        .sheetTitleNarrow = QStringLiteral("단계별 동작"),
        .poseNumber = QStringLiteral("%d단계"),
        .poseStepPrefix = QStringLiteral("%d단계: %@"),
        .busyTitle = QStringLiteral("바쁜 상태 감지"),
        .busyMessage =
            QStringLiteral("이번 휴식을 5분 미룰까요?\n\n알림: 미루기는 하루 한 번만 가능합니다."),
        .busyDeferButton = QStringLiteral("5분 미루기"),
        .busyStartButton = QStringLiteral("지금 휴식 시작"),
        .restartLimitTitle = QStringLiteral("오늘은 이미 다시 시작했습니다"),
        .restartLimitMessage = QStringLiteral(
            "휴식을 너무 자주 미루지 않도록 작업 타이머 다시 시작은 하루 한 번만 가능합니다."),
        .quitConfirmTitle = QStringLiteral("1시간 동안 종료할까요?"),
        .quitConfirmMessage = QStringLiteral(
            "1시간 후 자동으로 다시 시작됩니다. 임시 종료는 하루 한 번만 가능합니다."),
        .quitConfirmButton = QStringLiteral("1시간 종료"),
        .quitCancelButton = QStringLiteral("취소"),
        .quitLimitTitle = QStringLiteral("오늘은 이미 종료했습니다"),
        .quitLimitMessage =
            QStringLiteral("임시 종료는 하루 한 번만 가능합니다. 휴식 알림을 계속 실행해 주세요."),
        .preferencesProblemTitle = QStringLiteral("설정을 읽을 수 없음"),
        .preferencesProblemMessage = QStringLiteral(
            "Lumatide가 설정 파일을 읽을 수 없어 기본 암호를 포함한 기본 설정으로 시작했습니다. "
            "익명 사용 통계는 Lumatide를 다시 시작할 때까지 꺼져 있습니다. 이전 파일: %@"),
        .breatheIn = QStringLiteral("들이마시기"),
        .hold = QStringLiteral("멈추기"),
        .breatheOut = QStringLiteral("내쉬기"),
        .actions =
            {
                BreakAction{QStringLiteral("물 마시기"),
                            QStringLiteral("물을 몇 모금 마시고 일어나 멀리 바라보세요."),
                            QStringLiteral("천천히 움직이고 자연스럽게 호흡하세요."),
                            ActionKind::drink},
                BreakAction{QStringLiteral("걷기"),
                            QStringLiteral("의자에서 벗어나 30초 정도 가볍게 걸으세요."),
                            QStringLiteral("턱과 어깨를 편하게 둡니다."), ActionKind::drink},
                BreakAction{QStringLiteral("목 옆 스트레칭"),
                            QStringLiteral("머리를 한쪽으로 살짝 기울이고 반대쪽 어깨를 내립니다."),
                            QStringLiteral("세게 당기지 말고 불편하면 멈추세요."),
                            ActionKind::stretch},
                BreakAction{
                    QStringLiteral("손목 풀기"),
                    QStringLiteral("손바닥을 펴고 손목을 부드럽게 늘린 뒤 반대쪽도 합니다."),
                    QStringLiteral("편안한 범위에서만 합니다."), ActionKind::stretch},
                BreakAction{QStringLiteral("양손 위로 뻗기"),
                            QStringLiteral("손가락을 깍지 끼고 양손을 올려 몸을 늘립니다."),
                            QStringLiteral("어깨를 편하게 두고 자연스럽게 호흡하세요."),
                            ActionKind::reach},
                BreakAction{QStringLiteral("뒤돌아보기"),
                            QStringLiteral("머리와 상체를 천천히 뒤로 돌리고 반대쪽도 합니다."),
                            QStringLiteral("급하게 비틀지 마세요."), ActionKind::reach},
                BreakAction{QStringLiteral("골반저근 이완"),
                            QStringLiteral("3초간 부드럽게 조이고 5초간 완전히 풉니다."),
                            QStringLiteral("숨을 참지 말고 불편하면 멈추세요."),
                            ActionKind::breathe},
                BreakAction{QStringLiteral("호흡과 이완"),
                            QStringLiteral("내쉴 때 가볍게 조이고 들이마실 때 풉니다."),
                            QStringLiteral("의료 훈련이 아닌 부드러운 알림입니다."),
                            ActionKind::breathe},
                BreakAction{QStringLiteral("태극 시작 자세"),
                            QStringLiteral("안정적으로 서서 양손을 천천히 올렸다 내립니다."),
                            QStringLiteral("무릎을 편하게 두고 천천히 움직입니다."),
                            ActionKind::taiChi},
                BreakAction{
                    QStringLiteral("태극 운수"),
                    QStringLiteral("양손으로 앞에서 천천히 원을 그리고 몸을 살짝 돌립니다."),
                    QStringLiteral("작은 범위로, 허리를 과하게 비틀지 마세요."),
                    ActionKind::taiChi},
                BreakAction{
                    QStringLiteral("서서 산 자세"),
                    QStringLiteral("두 발을 안정시키고 척추를 길게 세우며 어깨를 내립니다."),
                    QStringLiteral("무릎을 잠그지 말고 편히 호흡하세요."), ActionKind::yoga},
                BreakAction{
                    QStringLiteral("서서 태양 스트레칭"),
                    QStringLiteral("들이마시며 팔을 올리고 내쉬며 손을 가슴으로 가져옵니다."),
                    QStringLiteral("바닥 동작 없는 가벼운 서기 버전입니다."), ActionKind::yoga},
            },
        .poseInstructions =
            {
                {ActionKind::drink,
                 {QStringLiteral("발 고정"), QStringLiteral("어깨 이완"),
                  QStringLiteral("물로 손 뻗기"), QStringLiteral("손을 입가로"),
                  QStringLiteral("한 모금 마시기"), QStringLiteral("팔 내리기"),
                  QStringLiteral("멀리 보기"), QStringLiteral("자연 호흡")}},
                {ActionKind::stretch,
                 {QStringLiteral("편히 서기"), QStringLiteral("어깨 내리기"),
                  QStringLiteral("머리 기울이기"), QStringLiteral("팔 가볍게"),
                  QStringLiteral("한 호흡 유지"), QStringLiteral("천천히 복귀"),
                  QStringLiteral("반대쪽"), QStringLiteral("손목 이완")}},
                {ActionKind::reach,
                 {QStringLiteral("두 발 고정"), QStringLiteral("손가락 깍지"),
                  QStringLiteral("양손 올리기"), QStringLiteral("몸 길게"),
                  QStringLiteral("어깨 이완"), QStringLiteral("살짝 돌기"),
                  QStringLiteral("가운데로"), QStringLiteral("손 내리기")}},
                {ActionKind::breathe,
                 {QStringLiteral("안정 서기"), QStringLiteral("팔 자연스럽게"),
                  QStringLiteral("들이마시며 열기"), QStringLiteral("가슴 이완"),
                  QStringLiteral("가볍게 조이기"), QStringLiteral("천천히 내쉬기"),
                  QStringLiteral("완전히 풀기"), QStringLiteral("자연스럽게 서기")}},
                {ActionKind::taiChi,
                 {QStringLiteral("발 벌리기"), QStringLiteral("손 올리기"),
                  QStringLiteral("왼손 원"), QStringLiteral("중심 이동"),
                  QStringLiteral("오른손 받기"), QStringLiteral("몸 돌리기"),
                  QStringLiteral("가운데로"), QStringLiteral("조용히 마무리")}},
                {ActionKind::yoga,
                 {QStringLiteral("산 자세"), QStringLiteral("들이마시며 올림"),
                  QStringLiteral("척추 길게"), QStringLiteral("가슴 열기"),
                  QStringLiteral("가슴 앞으로"), QStringLiteral("어깨 내림"),
                  QStringLiteral("내쉬며 이완"), QStringLiteral("서기로 복귀")}},
            },
    };
}

} // namespace lumatide
