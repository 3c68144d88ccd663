#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace vexa::settings {

// Profile files VEXA may not replace (see ProfileFileGuard.h) keep the text this run gave them
// here, so that the rest of the run reads what it wrote. The run is the process: every part of
// VEXA reads its settings file by name, so this memory is shared by all of them (and guarded
// for threads).

// The text this run keeps for `path`, if it keeps one.
std::optional<QByteArray> keptProfileText(const QString& path);

// Keeps `text` for `path`; the first time for that file, says `why` on stderr.
void keepProfileText(const QString& path, const QByteArray& text, const QString& why);

} // namespace vexa::settings
