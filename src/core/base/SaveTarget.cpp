#include "core/base/SaveTarget.h"

#include <QRandomGenerator>

#include <climits>

#include <sys/stat.h>
#include <unistd.h>

namespace vexa::base {

namespace {

constexpr int kMaxLinks = 40; // as many as the kernel follows

QByteArray folderOf(const QByteArray& name) {
    const qsizetype slash = name.lastIndexOf('/');
    if (slash < 0) return QByteArrayLiteral(".");
    if (slash == 0) return QByteArrayLiteral("/");
    return name.left(slash);
}

} // namespace

SaveTarget saveTarget(const FilePath& name) {
    SaveTarget target;
    QByteArray path = name.bytes();
    for (int depth = 0;; ++depth) {
        struct stat entry {};
        if (::lstat(path.constData(), &entry) != 0) { // a new name
            target.file = FilePath::fromBytes(path);
            return target;
        }
        if (!S_ISLNK(entry.st_mode)) {
            target.file = FilePath::fromBytes(path);
            target.exists = true;
            target.mode = entry.st_mode;
            if (S_ISDIR(entry.st_mode))
                target.refusal = SaveRefusal::Folder;
            else if (!S_ISREG(entry.st_mode))
                target.refusal = SaveRefusal::NotRegularFile;
            return target;
        }
        if (depth == kMaxLinks) break;
        QByteArray link(PATH_MAX, '\0');
        const ssize_t length = ::readlink(path.constData(), link.data(), size_t(link.size()));
        if (length <= 0 || length >= link.size()) break;
        link.truncate(qsizetype(length));
        path = link.startsWith('/') ? link : folderOf(path) + '/' + link;
    }
    target.file = name;
    target.refusal = SaveRefusal::LinkLoop;
    return target;
}

QString saveRefusalText(SaveRefusal refusal) {
    switch (refusal) {
    case SaveRefusal::None:
        break;
    case SaveRefusal::Folder:
        return QStringLiteral("is a directory");
    case SaveRefusal::NotRegularFile:
        return QStringLiteral("it is no regular file (a device, a FIFO or a socket), and only "
                              "regular files are written");
    case SaveRefusal::LinkLoop:
        return QStringLiteral("its links lead round in a circle");
    }
    return {};
}

FilePath temporaryNameBeside(const FilePath& file) {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray name = folderOf(file.bytes()) + "/.vexa-";
    for (int i = 0; i < 6; ++i)
        name += kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters - 1))];
    return FilePath::fromBytes(name);
}

} // namespace vexa::base
