#pragma once

#include "core/base/FilePath.h"
#include "core/cover/CoverFit.h"
#include "core/cover/CoverFormats.h"
#include "core/cover/PaperChoice.h"
#include "core/cover/SheetChoices.h"
#include "core/cover/TrimOptions.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace vexa::cli {

// `vexa-cli print` as typed: one picture per cover kind (--front FILE ... --ds FILE, named
// after the kind's settings key), or a project file and the names of the covers to print
// from it; and where the covers go.
struct PrintArguments {
    bool help = false;
    std::array<base::FilePath, cover::kCoverKindCount> pictures; // by table row; empty: not printed
    base::FilePath project;   // not empty: print this project file's covers
    cover::CoverKinds covers; // named after the project: print these, not its chosen ones
    QString printer;          // empty: the default printer
    base::FilePath pdf;       // not empty: export to this file instead of printing
    QString paperText;        // --paper as typed
    cover::PaperChoice paper = cover::PaperChoice::LetterLegal;
    cover::TrimOptions trim;    // --marks, --no-marks, --bleed MM
    bool marksGiven = false;    // --marks or --no-marks: overrides a project's marks
    bool bleedGiven = false;    // overrides a project's bleed
    cover::SheetChoices sheets; // --pack, --no-pack, --copies N
    bool packGiven = false;     // --pack or --no-pack: overrides a project's sheets
    bool copiesGiven = false;   // overrides a project's copies
    bool noCalibration = false;
    std::optional<cover::CoverFit> fit; // --fit, for every cover of the run
};

// The name of a kind's cover after a project file: its key in lower case ("front", "blu").
QString coverArgumentName(const cover::CoverFormat& kind);

// The option that names the picture of a kind: "--" and its key in lower case.
QString coverOption(const cover::CoverFormat& kind);

// Parses the arguments after "print" (as argumentsAsText gives them, see CommandLine.h):
// "--front FILE" and "--front=FILE" alike; "--" ends the options. The first argument no
// option takes is a project file, the others name covers to print from it. Nothing, with
// `error` set to one line, for an unknown option, a missing or repeated value, a cover name
// no kind has or named twice, a project with picture options, both --printer and --pdf, both
// --marks and --no-marks, both --pack and --no-pack, a --paper other than letter or a4, a --bleed
// other than 0, 1.5 or 3, a --copies other than 1 to 20, a --fit other than stretch, fill or fit,
// or no cover or project at all.
std::optional<PrintArguments> parsePrintArguments(const QStringList& arguments, QString& error);

} // namespace vexa::cli
