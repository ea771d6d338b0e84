#pragma once

#include <QDir>
#include <QString>

namespace lumatide {

// Where the dialog and toast pictures of a test run are kept for people to look at:
// $LUMATIDE_ARTIFACTS/dialogs, else the build folder's artifacts/dialogs. Created on demand.
inline QString dialogArtifactPath(const QString& fileName) {
    QString root = qEnvironmentVariable("LUMATIDE_ARTIFACTS");
    if (root.isEmpty()) {
        root = QStringLiteral(LUMATIDE_DEFAULT_ARTIFACTS);
    }
    const QDir folder(root + QStringLiteral("/dialogs"));
    folder.mkpath(QStringLiteral("."));
    return folder.filePath(fileName);
}

} // namespace lumatide
