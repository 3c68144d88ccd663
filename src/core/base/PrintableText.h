#pragma once

#include <QString>

namespace vexa::base {

// `text` safe to show on a terminal: control characters (C0, DEL, C1) as \xHH and invisible
// format characters such as bidirectional overrides as \uHHHH, so a file name cannot move
// the cursor, change colours or break a one-line message. A byte of a file name that is not
// UTF-8 (U+DC80 ... U+DCFF in FilePath's text) shows as that byte, \xHH; any other lone
// surrogate as \uHHHH.
QString printable(const QString& text);

} // namespace vexa::base
