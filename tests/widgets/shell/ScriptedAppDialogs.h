#pragma once

#include "shell/AppDialogs.h"

#include <QString>
#include <QStringList>

namespace lumatide {

// Answers every dialog at once and records which were shown, in which language and with which
// text, so commands can be checked without modal loops.
class ScriptedAppDialogs final : public AppDialogs {
public:
    bool confirmTemporaryQuit(AppLanguage language) override {
        record(QStringLiteral("confirmTemporaryQuit"), language);
        return confirmAnswer;
    }
    void showTemporaryQuitLimit(AppLanguage language) override {
        record(QStringLiteral("showTemporaryQuitLimit"), language);
    }
    void showManualRestartLimit(AppLanguage language) override {
        record(QStringLiteral("showManualRestartLimit"), language);
    }
    void showLaunchAtLoginError(const QString& error, AppLanguage language) override {
        record(QStringLiteral("showLaunchAtLoginError"), language);
        lastText = error;
    }
    void showTemporaryQuitFailure(const QString& reason, AppLanguage language) override {
        record(QStringLiteral("showTemporaryQuitFailure"), language);
        lastText = reason;
    }
    void resetPasscode(PreferenceStore& preferences, AppLanguage language) override {
        record(QStringLiteral("resetPasscode"), language);
        lastStore = &preferences;
    }

    bool confirmAnswer = false;
    QStringList shown;
    AppLanguage lastLanguage = AppLanguage::english;
    QString lastText;
    PreferenceStore* lastStore = nullptr;

private:
    void record(const QString& name, AppLanguage language) {
        shown.append(name);
        lastLanguage = language;
    }
};

} // namespace lumatide
