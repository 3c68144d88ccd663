#pragma once

#include "core/base/FilePath.h"
#include "core/cover/CoverFit.h"
#include "core/cover/CoverFormats.h"
#include "core/cover/PaperChoice.h"
#include "core/cover/TrimOptions.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace vexa::cli {

// `vexa-cli print` as typed: one picture per cover kind (--front FILE ... --ds FILE, named
// after the kind's settings key), and where the covers go.
struct PrintArguments {
    bool help = false;
    std::array<base::FilePath, cover::kCoverKindCount> pictures; // by table row; empty: not printed
    QString printer;                                             // empty: the default printer
    base::FilePath pdf; // not empty: export to this file instead of printing
    QString paperText;  // --paper as typed
    cover::PaperChoice paper = cover::PaperChoice::LetterLegal;
    cover::TrimOptions trim; // --marks, --bleed MM
    bool noCalibration = false;
    cover::CoverFit fit = cover::CoverFit::Stretch; // --fit, for every cover of the run
};

// The option that names the picture of a kind: "--" and its key in lower case.
QString coverOption(const cover::CoverFormat& kind);

// Parses the arguments after "print" (as argumentsAsText gives them, see CommandLine.h):
// "--front FILE" and "--front=FILE" alike; "--" ends the options. Nothing, with `error` set to
// one line, for an unknown option, a missing or repeated value, an argument no option names,
// both --printer and --pdf, a --paper other than letter or a4, a --bleed other than 0, 1.5 or
// 3, a --fit other than stretch, fill or fit, or no cover at all.
std::optional<PrintArguments> parsePrintArguments(const QStringList& arguments, QString& error);

} // namespace vexa::cli
