#pragma once

// The command line of `vexa-cli effect`, parsed without touching any file.

#include "core/base/FilePath.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace vexa::cli {

struct EffectArguments {
    enum class Action { Run, List, Help };
    Action action = Action::Run;
    std::int32_t effectId = 0;
    std::int32_t parameter = 0;
    base::FilePath input; // as the user typed them, byte for byte
    base::FilePath output;
};

// The effect id of "12", "Gray Scale", "gray-scale" or "grayscale" (letter case, blanks and
// punctuation are ignored); nothing when no effect has that id or name.
std::optional<std::int32_t> findEffect(const QString& idOrName);

// Parses the arguments after "effect":
//   <EffectId or effect name> [--param N | --colour R,G,B] INPUT OUTPUT
//   --list
//   --help
// `arguments` come as argumentsAsText gives them (see CommandLine.h). Options may stand before,
// between or after the names, with their value as the next argument or after "=" ("--param=5").
// Without --param or --colour the effect's usual parameter is used. "--" ends the options:
// what follows are the effect and file names, even when they start with "-". On a usage error,
// nothing is returned and `error` says what is wrong in one line.
std::optional<EffectArguments> parseEffectArguments(const QStringList& arguments, QString& error);

} // namespace vexa::cli
