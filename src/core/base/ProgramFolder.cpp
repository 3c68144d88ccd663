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

// Creates the folder and any missing parents with mode 0700, as the base directory
// rules ask for folders a program makes in the user's configuration tree.
void makePrivateFolder(const QString& folder) {
    if (QFileInfo(folder).isDir()) return;
    const QString parent = QFileInfo(folder).path();
    if (parent != folder) makePrivateFolder(parent);
    QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
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
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    // A relative value is invalid by the base directory rules and is ignored.
    const QString base = !xdg.isEmpty() && QDir::isAbsolutePath(xdg)
                             ? xdg
                             : QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(base + QStringLiteral("/vexa"));
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
