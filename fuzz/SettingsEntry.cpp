#include "FuzzEntries.h"

#include "core/settings/ProfileFileText.h"

namespace vexa::fuzz {

int settingsEntry(const std::uint8_t* data, std::size_t size) {
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString section = QStringLiteral("MAIN");
    for (const char* key : {"Tab", "Drive", "Dir", "Front"})
        settings::profileValue(text, section, QString::fromLatin1(key));

    // A written value reads back as written, and a second write of the same value changes
    // nothing: the writer found the line it had written.
    const QString value = QStringLiteral("/home/\u00e9t\u00e9 \"x\"");
    const QByteArray once = settings::withProfileValue(text, section, QStringLiteral("Dir"), value);
    if (settings::profileValue(once, section, QStringLiteral("Dir")) != value) __builtin_trap();
    if (settings::withProfileValue(once, section, QStringLiteral("Dir"), value) != once)
        __builtin_trap();
    // Bytes before the first section are never touched.
    const qsizetype head = text.indexOf('[');
    if (head > 0 && !once.startsWith(text.first(head))) __builtin_trap();
    return 0;
}

} // namespace vexa::fuzz
