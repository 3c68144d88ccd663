#pragma once

#include "core/cover/CoverSet.h"
#include "core/cover/SheetPacking.h"
#include "core/cover/TrimOptions.h"

#include "core/cover/PageContent.h"

namespace vexa::cover {

// A packed sheet's page as the paper feeds into the printer (portrait): each cover's whole
// picture from `pictures` stretched over its place, turned as packSheets turned it, with the
// bleed strips under it and the cut and fold marks around it that `trim` asks for, each in the
// room packing left it. A picture on the sheet several times is one PageImage, so a PDF holds
// it once. With one cover on the sheet, its trim and bleed boxes are the page's; with several,
// the page has none, as no one box says where the sheet is cut. Not for an own-page sheet.
PageContent sheetContent(const Sheet& sheet, const CoverRecords& pictures, const TrimOptions& trim);

} // namespace vexa::cover
