// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes as the preference file: reading never fails, and one write afterwards always
// leaves a private JSON object holding the written value (an unusable file is kept aside).
#include "FuzzSupport.h"
#include "prefs/JsonFilePreferenceStore.h"
#include "prefs/Passcode.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <cstdlib>

using namespace lumatide;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir folder;
    const QString path = folder.path() + QStringLiteral("/lumatide/preferences.json");
    QDir(folder.path() + QStringLiteral("/lumatide")).removeRecursively();
    QDir().mkpath(folder.path() + QStringLiteral("/lumatide"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            std::abort();
        }
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }

    JsonFilePreferenceStore store(path);
    // What could be read is kept: every earlier key but the written one survives the write.
    QJsonObject expected = store.values();
    static_cast<void>(currentPasscode(store));
    expected.insert(QStringLiteral("fuzz.written"), 1);
    if (!store.trySetValue(QStringLiteral("fuzz.written"), 1)) {
        std::abort();
    }
    QFile written(path);
    if (!written.open(QIODevice::ReadOnly) ||
        QJsonDocument::fromJson(written.readAll()).object() != expected ||
        written.permissions() != (QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                  QFileDevice::ReadUser | QFileDevice::WriteUser)) {
        std::abort();
    }
    return 0;
}
