#pragma once

#include "core/base/FilePath.h"
#include "core/picture/PictureFile.h"

#include <QString>

namespace vexa::cli {

// Reads a picture named on the command line, with the picture libraries' own chatter kept off
// the terminal: its pixels with the bytes they were read from. A null record when it cannot
// be read; `failure` then says why in the words of
// a vexa-cli message: "cannot read 'NAME': " and the reason, e.g. that the picture is over
// the pixel limit, or "missing, unreadable or not a picture" when there is nothing more to say.
// `decoding` as for picture::readPictureFile.
picture::LoadedPicture readInputPicture(const base::FilePath& path, QString& failure,
                                        picture::Decoding decoding = picture::Decoding::Always);

} // namespace vexa::cli
