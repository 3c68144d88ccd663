#include "core/settings/ProfileFileGuard.h"

#include "core/base/FilePath.h"
#include "core/base/PrintableText.h"

#include <cstdlib>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

namespace vexa::settings {

namespace {

QString keptInMemory(const QString& what) {
    return what + QStringLiteral("; VEXA keeps this run's settings in memory only.");
}

QString shown(const QString& path) {
    return QStringLiteral("'%1'").arg(base::printable(path));
}

} // namespace

bool isUtf16Text(const QByteArray& text) {
    if (text.startsWith("\xFF\xFE") || text.startsWith("\xFE\xFF")) return true;
    if (text.size() < 4) return false;
    const auto printable = [&](int i) { return text[i] >= 0x20 && text[i] < 0x7F; };
    const auto nul = [&](int i) { return text[i] == '\0'; };
    return (printable(0) && nul(1) && printable(2) && nul(3)) ||
           (nul(0) && printable(1) && nul(2) && printable(3));
}

ReplaceTarget replaceTarget(const QString& path, const QByteArray& text) {
    const base::FilePath name = base::FilePath::fromText(path);
    struct stat entry {};
    if (::lstat(name.c_str(), &entry) != 0) return {path, {}}; // made new
    ReplaceTarget target{path, {}};
    if (S_ISLNK(entry.st_mode)) {
        if (::geteuid() == 0)
            return {{},
                    keptInMemory(QStringLiteral("The settings file %1 is a link, and VEXA run "
                                                "as root writes through no link")
                                     .arg(shown(path)))};
        const std::unique_ptr<char, decltype(&std::free)> resolved(
            ::realpath(name.c_str(), nullptr), &std::free);
        struct stat info {};
        if (!resolved || ::stat(resolved.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
            info.st_uid != ::geteuid()) {
            const QString where =
                resolved ? shown(base::fileNameText(resolved.get())) : QStringLiteral("nothing");
            return {{},
                    keptInMemory(QStringLiteral("The settings file %1 is a link to %2, which "
                                                "is no regular file of yours")
                                     .arg(shown(path), where))};
        }
        target.file = base::fileNameText(resolved.get());
    }
    const base::FilePath file = base::FilePath::fromText(target.file);
    struct stat info {};
    if (::stat(file.c_str(), &info) == 0 &&
        ((info.st_mode & 0222) == 0 || ::access(file.c_str(), W_OK) != 0))
        return {{},
                keptInMemory(QStringLiteral("The settings file %1 is read-only").arg(shown(path)))};
    if (isUtf16Text(text))
        return {{},
                keptInMemory(QStringLiteral("The settings file %1 is in UTF-16, which VEXA "
                                            "does not write")
                                 .arg(shown(path)))};
    return target;
}

} // namespace vexa::settings
