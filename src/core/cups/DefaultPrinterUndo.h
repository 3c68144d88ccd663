#pragma once

#include "core/cups/LpOptionsFile.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace vexa::cups {

// What it takes to undo a temporary printer after VEXA ended without putting the user's
// default back (killed with -9, a crash, a power cut): the user's `Default` lines as they were
// at start-up and every destination VEXA wrote as the default meanwhile. Kept in a small file
// beside the settings file, replaced in one step before each change to lpoptions and removed
// once the user's lines are back.
struct DefaultPrinterUndo {
    SavedUserDefault startup;
    std::vector<QByteArray> written; // "printer" or "printer/instance", oldest first
};

// "lpoptions-undo" in the settings folder.
QString defaultPrinterUndoPath();

// Replaces the file in one step; false when it cannot be written.
bool saveDefaultPrinterUndo(const DefaultPrinterUndo& undo);

// The file's content; nothing when there is no file or it is not one of ours.
std::optional<DefaultPrinterUndo> readDefaultPrinterUndo();

// True when there is no file afterwards.
bool removeDefaultPrinterUndo();

enum class DefaultPrinterRecovery {
    NothingToDo, // no file: the last VEXA ended properly
    Restored,    // the user's lines are back, the file is gone
    LeftAlone,   // the default was changed since by someone else: kept, the file is gone
    Failed,      // lpoptions could not be read or written: the file stays for the next start
};

// At start, before anything else touches the default: puts the user's lines back when a file
// is left over, but only while lpoptions still holds a `Default` line VEXA wrote.
DefaultPrinterRecovery recoverDefaultPrinter();

} // namespace vexa::cups
