#include "core/settings/ProfileFile.h"

#include "core/base/RegularFileRead.h"
#include "core/settings/ProfileFileText.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>

namespace vexa::settings {

QString ProfileFile::read(const QString& section, const QString& key) const {
    const std::optional<QByteArray> text = base::readRegularFile(m_path, kMaxFileBytes);
    return text ? profileValue(*text, section, key) : QString();
}

bool ProfileFile::write(const QString& section, const QString& key, const QString& value) const {
    return write(QList<ProfileValue>{{section, key, value}});
}

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

} // namespace

bool ProfileFile::remove(const QString& section, const QString& key) const {
    return takeOut(section, key, false);
}

bool ProfileFile::removeEvery(const QString& section, const QString& key) const {
    return takeOut(section, key, true);
}

bool ProfileFile::takeOut(const QString& section, const QString& key, bool every) const {
    const QFileInfo existing(m_path);
    if (!existing.exists() && !existing.isSymLink()) return true;
    const std::optional<QByteArray> current = base::readRegularFile(m_path, kMaxFileBytes);
    if (!current) return false;
    const QByteArray text = every ? withoutAnyProfileValue(*current, section, key)
                                  : withoutProfileValue(*current, section, key);
    return text.size() == current->size() || replaceFile(m_path, text);
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

    QByteArray text;
    const QFileInfo existing(m_path);
    if (existing.exists() || existing.isSymLink()) {
        // Never replace a file that could not be read: a FIFO, a device, a file over the
        // limit, a dangling link. It stays exactly as it is.
        const std::optional<QByteArray> current = base::readRegularFile(m_path, kMaxFileBytes);
        if (!current) return false;
        text = *current;
    }
    for (const ProfileValue& v : values)
        text = single ? withSingleProfileValue(text, v.section, v.key, v.value)
                      : withProfileValue(text, v.section, v.key, v.value);
    if (text.size() > kMaxFileBytes) {
        // Written, the file could never be read again; it stays as it is instead.
        std::fprintf(stderr, "vexa: %s not written: it would grow past %lld bytes\n",
                     QFile::encodeName(m_path).constData(), static_cast<long long>(kMaxFileBytes));
        return false;
    }

    return replaceFile(m_path, text);
}

} // namespace vexa::settings
