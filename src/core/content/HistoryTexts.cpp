// SPDX-License-Identifier: GPL-3.0-or-later
#include "content/HistoryTexts.h"

using namespace Qt::StringLiterals;

namespace lumatide {

HistoryTexts HistoryTexts::forLanguage(AppLanguage language) {
    switch (language) {
    case AppLanguage::simplifiedChinese:
        return {u"最近 %d 天的休息"_s, u"今天的休息"_s, u"日期"_s,     u"休息次数"_s,
                u"按时结束"_s,         u"密码结束"_s,   u"休息分钟"_s, u"顺延"_s,
                u"空闲重置"_s,         u"重新计时"_s,   u"临时退出"_s, u"合计"_s};
    case AppLanguage::japanese:
        return {u"過去 %d 日間の休憩"_s, u"今日の休憩"_s,       u"日付"_s,       u"休憩回数"_s,
                u"時間で終了"_s,         u"パスコードで終了"_s, u"休憩（分）"_s, u"延期"_s,
                u"離席でリセット"_s,     u"タイマー再開"_s,     u"一時終了"_s,   u"合計"_s};
    case AppLanguage::korean:
        return {u"최근 %d일간의 휴식"_s, u"오늘의 휴식"_s,   u"날짜"_s,      u"휴식 횟수"_s,
                u"시간 종료"_s,          u"암호 종료"_s,     u"휴식(분)"_s,  u"미루기"_s,
                u"자리 비움 초기화"_s,   u"타이머 재시작"_s, u"일시 종료"_s, u"합계"_s};
    case AppLanguage::spanish:
        return {u"Descansos de los últimos %d días"_s,
                u"Descansos de hoy"_s,
                u"Fecha"_s,
                u"Descansos"_s,
                u"Por tiempo"_s,
                u"Por código"_s,
                u"Minutos"_s,
                u"Aplazados"_s,
                u"Por inactividad"_s,
                u"Reinicios"_s,
                u"Salidas"_s,
                u"Total"_s};
    case AppLanguage::french:
        return {u"Pauses des %d derniers jours"_s,
                u"Pauses d’aujourd’hui"_s,
                u"Date"_s,
                u"Pauses"_s,
                u"Temps écoulé"_s,
                u"Par code"_s,
                u"Minutes"_s,
                u"Reportées"_s,
                u"Inactivité"_s,
                u"Redémarrages"_s,
                u"Sorties"_s,
                u"Total"_s};
    case AppLanguage::german:
        return {u"Pausen der letzten %d Tage"_s,
                u"Pausen von heute"_s,
                u"Datum"_s,
                u"Pausen"_s,
                u"Zeit abgelaufen"_s,
                u"Per Code"_s,
                u"Minuten"_s,
                u"Verschoben"_s,
                u"Inaktiv zurückgesetzt"_s,
                u"Neustarts"_s,
                u"Beendet"_s,
                u"Gesamt"_s};
    case AppLanguage::english:
        break;
    }
    return {u"Breaks in the last %d days"_s,
            u"Breaks today"_s,
            u"Date"_s,
            u"Breaks"_s,
            u"By time"_s,
            u"By passcode"_s,
            u"Minutes"_s,
            u"Postponed"_s,
            u"Idle resets"_s,
            u"Restarts"_s,
            u"Quits"_s,
            u"Total"_s};
}

} // namespace lumatide
