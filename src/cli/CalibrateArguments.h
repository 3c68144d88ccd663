#pragma once

#include "core/cover/CoverFormats.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace vexa::cli {

// `vexa-cli calibrate` as typed: the printer and paper, and what to do with their calibration.
struct CalibrateArguments {
    enum class Action { PrintPage, Set, Reset };

    bool help = false;
    Action action = Action::PrintPage;
    QString printer; // empty: the default printer
    cover::Paper paper = cover::Paper::Letter;
    std::array<QString, 4> figures; // --set: left, top, across, down as typed
};

// Parses the arguments after "calibrate": [--printer NAME] [--paper letter|legal|a4]
// [--set LEFT TOP ACROSS DOWN | --reset]. Nothing, with `error` set to one line, for an
// unknown option, a repeated one, another paper, both --set and --reset, --set without its
// four figures, or figures without --set. The figures themselves are checked when stored.
std::optional<CalibrateArguments> parseCalibrateArguments(const QStringList& arguments,
                                                          QString& error);

} // namespace vexa::cli
