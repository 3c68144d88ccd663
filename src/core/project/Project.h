#pragma once

#include "core/cover/CoverKind.h"
#include "core/cover/CoverSet.h"
#include "core/cover/PaperChoice.h"
#include "core/cover/TrimOptions.h"

namespace vexa::project {

// The print choices that belong to a set of covers, kept in its project file: which covers
// are chosen, the paper, marks and bleed. Not the printer, which belongs to the computer.
struct PrintChoices {
    cover::CoverKinds chosen;
    cover::PaperChoice paper = cover::PaperChoice::LetterLegal;
    cover::TrimOptions trim;

    bool operator==(const PrintChoices&) const = default;
};

// A set of covers as a document: the picture of each kind and its print choices.
struct Project {
    cover::CoverRecords covers;
    PrintChoices print;
};

} // namespace vexa::project
