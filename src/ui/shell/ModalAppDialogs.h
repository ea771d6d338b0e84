// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "shell/AppDialogs.h"

namespace lumatide {

// The program's real modal alerts and change-passcode form.
class ModalAppDialogs final : public AppDialogs {
public:
    bool confirmTemporaryQuit(AppLanguage language) override;
    void showTemporaryQuitLimit(AppLanguage language) override;
    void showManualRestartLimit(AppLanguage language) override;
    void showLaunchAtLoginError(const QString& error, AppLanguage language) override;
    void showTemporaryQuitFailure(const QString& reason, AppLanguage language) override;
    void showPreferencesProblem(const QString& oldFile, AppLanguage language) override;
    void resetPasscode(PreferenceStore& preferences, AppLanguage language) override;
};

} // namespace lumatide
