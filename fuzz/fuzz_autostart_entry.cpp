// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes as the user's autostart entry: the enabled check reads it without failing,
// and registering and unregistering afterwards give the expected answer.
#include "FuzzSupport.h"
#include "linux/XdgAutostart.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

using namespace lumatide;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir folder;
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("HOME"), folder.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                       folder.path() + QStringLiteral("/config"));
    environment.insert(QStringLiteral("XDG_CONFIG_DIRS"),
                       folder.path() + QStringLiteral("/system"));
    XdgAutostart autostart(environment, QStringLiteral("/opt/lumatide %u/bin/lumatide"));
    QDir().mkpath(folder.path() + QStringLiteral("/config/autostart"));
    {
        QFile file(autostart.entryPath());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            std::abort();
        }
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    static_cast<void>(autostart.isEnabled());
    if (autostart.enable() || !autostart.isEnabled()) {
        std::abort();
    }
    if (autostart.disable() || autostart.isEnabled()) {
        std::abort();
    }
    return 0;
}
