#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace vexa::cups {

// The user's own CUPS options file ($HOME/.cups/lpoptions), edited line by line. libcups'
// cupsSetDests2 rewrites that file from its parsed view: it drops comments, blank lines,
// instances without options and entries of removed printers, and reorders options. Here only
// the `Default` lines change; every other line keeps its bytes.

// Where libcups keeps the user's default destination: $HOME, else the account's home folder.
QString userOptionsPath();

// The `Default` lines of the user's file as found at one moment, to be put back later.
struct SavedUserDefault {
    struct Line {
        qsizetype index = 0; // the line's position in the file
        QByteArray text;     // its exact bytes, line ending included
    };
    bool readable = false;    // false: the file could not be read, nothing can be put back
    bool fileExisted = false; // false: there was no file at all
    std::vector<Line> lines;  // in file order; empty when the user had no default of their own
};

SavedUserDefault readUserDefault();

// Makes `destination` ("printer" or "printer/instance") the user's default: one
// "Default destination" line at the top of the file. Earlier `Default` lines go: one that
// carries options becomes a `Dest` line in place, so the printer keeps its options meanwhile.
// The file is replaced in one step; false (file unchanged) when it cannot be read or written.
bool writeUserDefault(const QByteArray& destination);

// Puts the saved `Default` lines back where they were and removes any other `Default` line,
// undoing writeUserDefault; the file is rewritten only when that changes it. A file that did
// not exist before and would now be empty is removed. False when nothing could be saved or
// the file cannot be read or written.
bool restoreUserDefault(const SavedUserDefault& saved);

} // namespace vexa::cups
