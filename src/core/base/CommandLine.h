#pragma once

// What both programs share in reading their command lines: the arguments as text that keeps
// every byte of a file name, and QCommandLineParser's verdict in the programs' own words.

#include <QString>
#include <QStringList>

#include <optional>

class QCommandLineParser;

namespace vexa::base {

// argv as text, the program's name first, as QCommandLineParser::parse() takes it. A byte that
// is not UTF-8 becomes U+DC80 ... U+DCFF (see FilePath), so FilePath::fromText gives a file
// argument back exactly as the user typed it; QCoreApplication::arguments() would lose it.
QStringList argumentsAsText(int argc, char** argv);

// The working folder as text in the same mapping, for making file arguments absolute.
QString workingFolderText();

// Runs `parser` over `arguments` (the first is the program's name and is skipped). Nothing
// when they fit its options; otherwise the first problem in one line: "unknown option
// '--fron'", "'--front' needs a value", "'--list' takes no value".
std::optional<QString> parseCommandLine(QCommandLineParser& parser, const QStringList& arguments);

} // namespace vexa::base
