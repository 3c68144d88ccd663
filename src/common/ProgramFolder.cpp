#include "ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>

namespace vexa {

namespace {
QString& folderOverride() {
    static QString folder;
    return folder;
}
} // namespace

QString programFolder() {
    if (!folderOverride().isEmpty()) return folderOverride();
    return QCoreApplication::applicationDirPath();
}

QString programFile(const QString& name) {
    return QDir(programFolder()).filePath(name);
}

void setProgramFolderForTesting(const QString& folder) {
    folderOverride() = folder;
}

} // namespace vexa
