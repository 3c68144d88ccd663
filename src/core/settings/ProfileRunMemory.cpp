#include "core/settings/ProfileRunMemory.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>

#include <cstdio>

namespace vexa::settings {

namespace {

struct RunMemory {
    QMutex mutex;
    QHash<QString, QByteArray> texts;
};

RunMemory& runMemory() {
    static RunMemory memory;
    return memory;
}

} // namespace

std::optional<QByteArray> keptProfileText(const QString& path) {
    RunMemory& memory = runMemory();
    const QMutexLocker lock(&memory.mutex);
    const auto found = memory.texts.constFind(path);
    if (found == memory.texts.constEnd()) return std::nullopt;
    return *found;
}

void keepProfileText(const QString& path, const QByteArray& text, const QString& why) {
    RunMemory& memory = runMemory();
    const QMutexLocker lock(&memory.mutex);
    if (!memory.texts.contains(path)) std::fprintf(stderr, "vexa: %s\n", qPrintable(why));
    memory.texts.insert(path, text);
}

} // namespace vexa::settings
