#pragma once

#include "core/cover/CoverKind.h"
#include "core/cover/CoverSet.h"
#include "core/cover/PaperChoice.h"
#include "core/cover/SheetChoices.h"
#include "core/cover/TrimOptions.h"

namespace vexa::project {

// The print choices that belong to a set of covers, kept in its project file: which covers
// are chosen, the paper, marks and bleed, sheets and copies. Not the printer, which belongs
// to the computer.
struct PrintChoices {
    cover::CoverKinds chosen;
    cover::PaperChoice paper = cover::PaperChoice::LetterLegal;
    cover::TrimOptions trim;
    cover::SheetChoices sheets;

    bool operator==(const PrintChoices&) const = default;
};

// A set of covers as a document: the picture of each kind with its fit and crop, and its
// print choices.
struct Project {
    cover::CoverRecords covers;
    PrintChoices print;
};

} // namespace vexa::project
