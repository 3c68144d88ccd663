#include "core/cups/DefaultPrinterUndo.h"

#include "core/base/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cctype>

namespace vexa::cups {

namespace {

constexpr QByteArrayView kHeader = "VEXA lpoptions undo 1\n";
// A real file holds a few short lines; anything far larger is not ours.
constexpr qint64 kMaxFileSize = 256 * 1024;

// Line bytes may hold anything but a newline of their own: kept as hexadecimal.
QByteArray field(const QByteArray& bytes) {
    return bytes.isEmpty() ? QByteArray("-") : bytes.toHex();
}

std::optional<QByteArray> unfield(const QByteArray& text) {
    if (text == "-") return QByteArray();
    if (text.isEmpty() || text.size() % 2 != 0 ||
        !std::all_of(text.begin(), text.end(),
                     [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); }))
        return std::nullopt;
    return QByteArray::fromHex(text);
}

QByteArray serialise(const DefaultPrinterUndo& undo) {
    QByteArray bytes = kHeader.toByteArray();
    bytes += "existed " + QByteArray(undo.startup.fileExisted ? "1" : "0") + '\n';
    for (const SavedUserDefault::Line& line : undo.startup.lines)
        bytes += "line " + QByteArray::number(line.index) + ' ' + field(line.text) + '\n';
    for (const QByteArray& destination : undo.written)
        bytes += "wrote " + field(destination) + '\n';
    return bytes;
}

std::optional<DefaultPrinterUndo> parse(const QByteArray& bytes) {
    if (!bytes.startsWith(kHeader) || !bytes.endsWith('\n')) return std::nullopt;
    DefaultPrinterUndo undo;
    undo.startup.readable = true;
    bool sawExisted = false;
    const QList<QByteArray> lines = bytes.sliced(kHeader.size()).chopped(1).split('\n');
    for (const QByteArray& line : lines) {
        const QList<QByteArray> words = line.split(' ');
        if (words.size() == 2 && words[0] == "existed" && (words[1] == "0" || words[1] == "1")) {
            undo.startup.fileExisted = words[1] == "1";
            sawExisted = true;
        } else if (words.size() == 3 && words[0] == "line") {
            bool ok = false;
            const qsizetype index = words[1].toLongLong(&ok);
            const std::optional<QByteArray> text = unfield(words[2]);
            if (!ok || index < 0 || !text || text->isEmpty()) return std::nullopt;
            undo.startup.lines.push_back({index, *text});
        } else if (words.size() == 2 && words[0] == "wrote") {
            const std::optional<QByteArray> destination = unfield(words[1]);
            if (!destination || destination->isEmpty()) return std::nullopt;
            undo.written.push_back(*destination);
        } else {
            return std::nullopt;
        }
    }
    if (!sawExisted) return std::nullopt;
    return undo;
}

// True when the file's only `Default` line is the one VEXA writes for one of `written`, at the
// top, where it puts it.
bool holdsOurDefault(const SavedUserDefault& now, const std::vector<QByteArray>& written) {
    if (!now.readable || now.lines.size() != 1 || now.lines.front().index != 0) return false;
    const QByteArray& line = now.lines.front().text;
    return std::any_of(written.begin(), written.end(), [&line](const QByteArray& destination) {
        return line == "Default " + destination + '\n';
    });
}

} // namespace

QString defaultPrinterUndoPath() {
    return QDir(base::settingsFolder()).filePath(QStringLiteral("lpoptions-undo"));
}

bool saveDefaultPrinterUndo(const DefaultPrinterUndo& undo) {
    QSaveFile file(defaultPrinterUndoPath());
    const QByteArray bytes = serialise(undo);
    // Private, as the user's lpoptions is.
    return file.open(QIODevice::WriteOnly) &&
           file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) &&
           file.write(bytes) == bytes.size() && file.commit();
}

std::optional<DefaultPrinterUndo> readDefaultPrinterUndo() {
    const QFileInfo info(defaultPrinterUndoPath());
    if (!info.isFile() || info.size() > kMaxFileSize) return std::nullopt;
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return parse(file.read(kMaxFileSize + 1));
}

bool removeDefaultPrinterUndo() {
    const QString path = defaultPrinterUndoPath();
    return !QFileInfo(path).exists() || QFile::remove(path);
}

DefaultPrinterRecovery recoverDefaultPrinter() {
    if (!QFileInfo(defaultPrinterUndoPath()).exists()) return DefaultPrinterRecovery::NothingToDo;
    const std::optional<DefaultPrinterUndo> undo = readDefaultPrinterUndo();
    // A file that is not ours, or damaged, cannot say what to put back.
    if (!undo) {
        removeDefaultPrinterUndo();
        return DefaultPrinterRecovery::LeftAlone;
    }
    const SavedUserDefault now = readUserDefault();
    if (!now.readable) return DefaultPrinterRecovery::Failed;
    if (!holdsOurDefault(now, undo->written)) {
        removeDefaultPrinterUndo();
        return DefaultPrinterRecovery::LeftAlone;
    }
    if (!restoreUserDefault(undo->startup)) return DefaultPrinterRecovery::Failed;
    removeDefaultPrinterUndo();
    return DefaultPrinterRecovery::Restored;
}

} // namespace vexa::cups
