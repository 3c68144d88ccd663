#include "core/settings/ProfileFile.h"

#include "core/base/RegularFileRead.h"
#include "core/settings/ProfileFileGuard.h"
#include "core/settings/ProfileFileText.h"
#include "core/settings/ProfileRunMemory.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>

namespace vexa::settings {

namespace {

bool replaceFile(const QString& path, const QByteArray& text) {
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) return false;
    if (out.write(text) != text.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

// The file's text as this run knows it: what it keeps in memory for a file it may not replace,
// or what is on the disk (empty for a file that is not there); nothing for a file that exists
// but cannot be read (a FIFO, a device, a file over the limit, a dangling link).
std::optional<QByteArray> currentText(const QString& path) {
    if (std::optional<QByteArray> kept = keptProfileText(path)) return kept;
    const QFileInfo existing(path);
    if (!existing.exists() && !existing.isSymLink()) return QByteArray();
    return base::readRegularFile(path, ProfileFile::kMaxFileBytes);
}

// Puts `text` in the file's place, or, where the file may not be replaced, in this run's
// memory; false then, as the disk did not get it.
bool store(const QString& path, const QByteArray& current, const QByteArray& text) {
    if (keptProfileText(path)) {
        keepProfileText(path, text, {});
        return false;
    }
    const ReplaceTarget target = replaceTarget(path, current);
    if (!target.refusal.isEmpty()) {
        keepProfileText(path, text, target.refusal);
        return false;
    }
    return replaceFile(target.file, text);
}

} // namespace

QString ProfileFile::read(const QString& section, const QString& key) const {
    const std::optional<QByteArray> text = currentText(m_path);
    return text ? profileValue(*text, section, key) : QString();
}

bool ProfileFile::write(const QString& section, const QString& key, const QString& value) const {
    return write(QList<ProfileValue>{{section, key, value}});
}

bool ProfileFile::remove(const QString& section, const QString& key) const {
    return takeOut(section, key, false);
}

bool ProfileFile::removeEvery(const QString& section, const QString& key) const {
    return takeOut(section, key, true);
}

bool ProfileFile::takeOut(const QString& section, const QString& key, bool every) const {
    const std::optional<QByteArray> current = currentText(m_path);
    if (!current) return false;
    const QByteArray text = every ? withoutAnyProfileValue(*current, section, key)
                                  : withoutProfileValue(*current, section, key);
    return text == *current || store(m_path, *current, text);
}

std::vector<ProfileKeyLine> ProfileFile::keyLines(const QString& section,
                                                  const QString& key) const {
    const std::optional<QByteArray> text = base::readRegularFile(m_path, kMaxFileBytes);
    return text ? profileKeyLines(*text, section, key) : std::vector<ProfileKeyLine>();
}

std::vector<BrokenHeader> ProfileFile::brokenHeaders(const QString& section) const {
    const std::optional<QByteArray> text = base::readRegularFile(m_path, kMaxFileBytes);
    return text ? brokenSectionHeaders(*text, section) : std::vector<BrokenHeader>();
}

bool ProfileFile::writeSingle(const QString& section, const QString& key,
                              const QString& value) const {
    return write(QList<ProfileValue>{{section, key, value}}, true);
}

bool ProfileFile::write(const QList<ProfileValue>& values) const {
    return write(values, false);
}

bool ProfileFile::write(const QList<ProfileValue>& values, bool single) const {
    auto hasLineBreak = [](const QString& s) { return s.contains(u'\n') || s.contains(u'\r'); };
    for (const ProfileValue& v : values) {
        if (hasLineBreak(v.section) || hasLineBreak(v.key) || hasLineBreak(v.value) ||
            v.section.contains(u']') || v.key.contains(u'=') || v.key.trimmed().isEmpty())
            return false;
    }

    // Never replace a file that could not be read: a FIFO, a device, a file over the limit, a
    // dangling link. It stays exactly as it is.
    const std::optional<QByteArray> current = currentText(m_path);
    if (!current) return false;
    QByteArray text = *current;
    for (const ProfileValue& v : values)
        text = single ? withSingleProfileValue(text, v.section, v.key, v.value)
                      : withProfileValue(text, v.section, v.key, v.value);
    // Nothing changed: the file is left alone (a read-only one, too).
    if (text == *current) return true;
    if (text.size() > kMaxFileBytes) {
        // Written, the file could never be read again; it stays as it is instead.
        std::fprintf(stderr, "vexa: %s not written: it would grow past %lld bytes\n",
                     QFile::encodeName(m_path).constData(), static_cast<long long>(kMaxFileBytes));
        return false;
    }
    return store(m_path, *current, text);
}

} // namespace vexa::settings
