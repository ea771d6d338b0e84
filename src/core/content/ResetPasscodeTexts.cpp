// SPDX-License-Identifier: GPL-3.0-or-later
#include "content/ResetPasscodeTexts.h"

#include <QStringView>
#include <array>
#include <cstddef>

namespace lumatide {

namespace {

struct ResetPasscodeEntry {
    QStringView key;
    // One text per language, in the order of allLanguages.
    std::array<QStringView, allLanguages.size()> texts;
};

constexpr std::array<ResetPasscodeEntry, 11> resetPasscodeTexts{{
    {u"menu",
     {u"重置密码", u"Reset Passcode", u"パスコードをリセット", u"암호 재설정",
      u"Restablecer código", u"Réinitialiser le code", u"Code zurücksetzen"}},
    {u"title",
     {u"重置密码", u"Reset Passcode", u"パスコードをリセット", u"암호 재설정",
      u"Restablecer código", u"Réinitialiser le code", u"Code zurücksetzen"}},
    {u"old",
     {u"旧密码", u"Current passcode", u"現在のパスコード", u"현재 암호", u"Código actual",
      u"Code actuel", u"Aktueller Code"}},
    {u"new",
     {u"新密码", u"New passcode", u"新しいパスコード", u"새 암호", u"Nuevo código", u"Nouveau code",
      u"Neuer Code"}},
    {u"confirm",
     {u"确认新密码", u"Confirm new passcode", u"新しいパスコードを確認", u"새 암호 확인",
      u"Confirmar código", u"Confirmer le code", u"Neuen Code bestätigen"}},
    {u"ok", {u"保存", u"Save", u"保存", u"저장", u"Guardar", u"Enregistrer", u"Speichern"}},
    {u"cancel",
     {u"取消", u"Cancel", u"キャンセル", u"취소", u"Cancelar", u"Annuler", u"Abbrechen"}},
    {u"oldWrong",
     {u"旧密码不正确。", u"The current passcode is incorrect.", u"現在のパスコードが違います。",
      u"현재 암호가 올바르지 않습니다.", u"El código actual no es correcto.",
      u"Le code actuel est incorrect.", u"Der aktuelle Code ist falsch."}},
    {u"empty",
     {u"新密码不能为空。", u"The new passcode cannot be empty.",
      u"新しいパスコードは空にできません。", u"새 암호는 비워 둘 수 없습니다.",
      u"El nuevo código no puede estar vacío.", u"Le nouveau code ne peut pas être vide.",
      u"Der neue Code darf nicht leer sein."}},
    {u"mismatch",
     {u"两次输入的新密码不一致。", u"The new passcodes do not match.",
      u"新しいパスコードが一致しません。", u"새 암호가 일치하지 않습니다.",
      u"Los códigos nuevos no coinciden.", u"Les nouveaux codes ne correspondent pas.",
      u"Die neuen Codes stimmen nicht überein."}},
    {u"success",
     {u"密码已更新。", u"Passcode updated.", u"パスコードを更新しました。",
      u"암호가 업데이트되었습니다.", u"Código actualizado.", u"Code mis à jour.",
      u"Code aktualisiert."}},
}};

} // namespace

QString resetPasscodeText(const QString& key, AppLanguage language) {
    const auto index = static_cast<std::size_t>(language);
    for (const ResetPasscodeEntry& entry : resetPasscodeTexts) {
        if (entry.key == key) {
            // Only a value cast from outside the enumeration can miss the row.
            return index < entry.texts.size() ? entry.texts[index].toString() : key;
        }
    }
    return key;
}

} // namespace lumatide
