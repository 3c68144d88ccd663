#pragma once

#include <QString>

namespace vexa::update {

// This release's own number, as the version file on the maker's server spells releases.
inline constexpr const char* kOwnVersion = "6.00";

enum class UpdateOutcome {
    UpToDate,   // the server names this release
    NewVersion, // the server names a newer release
    Failed,     // no usable answer, or an older release than this one
};

// Compares the version file's text with this release. Only the whole part of a version counts:
// both texts are converted to 16-bit integers, fractions rounded half to even (6.5 -> 6,
// 7.5 -> 8). A text that is no number, or lies outside -32768 ... 32767, is a failure; blanks,
// tabs and line ends around the number are ignored, as every file saved by an editor has them.
UpdateOutcome compareVersions(const QString& remote,
                              const QString& own = QString::fromLatin1(kOwnVersion));

// What the update popup says and which buttons it offers for an outcome.
struct UpdateNotice {
    QString message;
    QString kind; // "uptodate", "update" or "error"
};
UpdateNotice noticeFor(UpdateOutcome outcome);

} // namespace vexa::update
