#include "core/base/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

namespace vexa::base {

namespace {

QString& folderOverride() {
    static QString folder;
    return folder;
}

QString installedDataFolder() {
    return QDir::cleanPath(programFolder() + QStringLiteral("/../share/vexa"));
}

// Asks with the process's effective rights (not the real user's), which is what a later
// create or rename in the folder will be checked against.
bool folderIsWritable(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder);
    return faccessat(AT_FDCWD, path.constData(), W_OK | X_OK, AT_EACCESS) == 0;
}

// "$<variable>/vexa" when the variable holds an absolute path, else "~/<fallback>/vexa".
QString userFolder(const char* variable, const QString& fallback) {
    const QString xdg = qEnvironmentVariable(variable);
    // A relative value is invalid by the base directory rules and is ignored.
    const QString base =
        !xdg.isEmpty() && QDir::isAbsolutePath(xdg) ? xdg : QDir::homePath() + u'/' + fallback;
    return QDir::cleanPath(base + QStringLiteral("/vexa"));
}

bool usesProgramFolder() {
    return !isInstalledCopy() && folderIsWritable(programFolder());
}

} // namespace

QString programFolder() {
    if (!folderOverride().isEmpty()) return folderOverride();
    return QCoreApplication::applicationDirPath();
}

QString programFile(const QString& name) {
    return QDir(programFolder()).filePath(name);
}

bool isInstalledCopy() {
    return QDir(programFolder()).dirName() == u"bin" && QFileInfo(installedDataFolder()).isDir();
}

QString sharedDataFile(const QString& name) {
    if (isInstalledCopy()) return QDir(installedDataFolder()).filePath(name);
    return programFile(name);
}

QString configFolder() {
    return userFolder("XDG_CONFIG_HOME", QStringLiteral(".config"));
}

QString stateFolder() {
    return userFolder("XDG_STATE_HOME", QStringLiteral(".local/state"));
}

bool makePrivateFolder(const QString& folder) {
    if (QFileInfo(folder).isDir()) return true;
    const QString parent = QFileInfo(folder).path();
    if (parent != folder && !makePrivateFolder(parent)) return false;
    return QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) ||
           QFileInfo(folder).isDir();
}

QString settingsFolder() {
    if (usesProgramFolder()) return programFolder();
    const QString folder = configFolder();
    makePrivateFolder(folder);
    return folder;
}

void setProgramFolderForTesting(const QString& folder) {
    folderOverride() = folder;
}

} // namespace vexa::base
