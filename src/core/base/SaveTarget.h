#pragma once

#include "core/base/FilePath.h"

#include <QString>

#include <sys/types.h>

namespace vexa::base {

// What a save replaces when it writes a temporary file and renames it over the name given.
enum class SaveRefusal {
    None,
    Folder,         // the name is a folder
    NotRegularFile, // a FIFO, a device or a socket, also one reached through links
    LinkLoop,       // links that lead round in a circle (or more than 40 deep)
};

struct SaveTarget {
    FilePath file; // the file to replace: the name, or where its links lead
    bool exists = false;
    mode_t mode = 0; // of the file replaced, when it exists
    SaveRefusal refusal = SaveRefusal::None;
};

// Where a save to `name` goes, checked before anything is written: a regular file is replaced,
// a new name is created, and a symbolic link is followed to the file it leads to (or the name
// it leads to, which is created). Anything else is refused: renamed over, a FIFO or a device
// node would be replaced by a regular file (/dev/null among them, reached through a link).
SaveTarget saveTarget(const FilePath& name);

// Why a save is refused, to follow "cannot write 'NAME': "; empty for SaveRefusal::None.
QString saveRefusalText(SaveRefusal refusal);

// A name for the temporary file in the folder of `file`: ".vexa-" and six random letters, so
// that every name a folder can hold (up to 255 bytes) leaves room for it.
FilePath temporaryNameBeside(const FilePath& file);

} // namespace vexa::base
