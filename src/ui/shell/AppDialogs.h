// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "content/AppLanguage.h"

#include <QString>

namespace lumatide {

class PreferenceStore;

// The dialogs the menu commands and the demo scenarios open. Each call returns when the user
// has answered. The application asks through this interface so that its commands can be
// exercised without modal loops.
class AppDialogs {
public:
    virtual ~AppDialogs() = default;

    // True when the user chose to quit for an hour.
    virtual bool confirmTemporaryQuit(AppLanguage language) = 0;
    virtual void showTemporaryQuitLimit(AppLanguage language) = 0;
    virtual void showManualRestartLimit(AppLanguage language) = 0;
    virtual void showLaunchAtLoginError(const QString& error, AppLanguage language) = 0;
    virtual void showTemporaryQuitFailure(const QString& reason, AppLanguage language) = 0;
    // The preference file could not be used at start; oldFile is where it is now.
    virtual void showPreferencesProblem(const QString& oldFile, AppLanguage language) = 0;
    // The change-passcode form.
    virtual void resetPasscode(PreferenceStore& preferences, AppLanguage language) = 0;

protected:
    AppDialogs() = default;
    AppDialogs(const AppDialogs&) = default;
    AppDialogs& operator=(const AppDialogs&) = default;
};

} // namespace lumatide
