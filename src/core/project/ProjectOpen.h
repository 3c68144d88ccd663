#pragma once

#include "core/base/FilePath.h"
#include "core/project/Project.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace vexa::project {

// A .vexa file is never larger than eleven pictures at the largest file VEXA reads and a
// description.
qint64 maxProjectFileBytes();

// What opening a project file gave: the complete project, or nothing and one sentence.
struct OpenedProject {
    std::optional<Project> project;
    // A recovery copy: the project file the set belongs to; empty otherwise.
    base::FilePath savedAs;
    // Why there is no project: one sentence naming the file and what is wrong with it.
    QString failure;
};

// Reads a project file completely, in memory (nothing is ever extracted to disk), and
// decodes each picture once, on every core. Refused with one sentence ("'covers.vexa' cannot
// be opened: it is damaged or cut short."): a file that is missing, empty, no regular file or too
// large; no ZIP archive or cut short; entries of the same name or whose names hold "..",
// "/" or NUL; a ZIP bomb (thousands of entries, or entries that declare or expand to more
// than a set of covers could hold); a project.json over 1 MiB, not of the shape VEXA writes,
// or from a newer VEXA; a picture entry that is missing, over the picture file limit, not
// the size or SHA-256 project.json records, or refused by VEXA's picture reader. Either the
// whole project comes back or none of it: the caller's set stays as it was. Safe to call
// from a worker. With `only`, the pictures of the other kinds are neither read nor checked,
// and come back empty (a print of some covers).
OpenedProject openProject(const base::FilePath& path,
                          cover::CoverKinds only = cover::kEveryCoverKind);

// The same for a file's bytes already in memory, named `fileName` in the sentence.
OpenedProject readProject(const QByteArray& data, const QString& fileName,
                          cover::CoverKinds only = cover::kEveryCoverKind);

} // namespace vexa::project
