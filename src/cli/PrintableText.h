#pragma once

#include <QString>

namespace vexa::cli {

// `text` safe to show on a terminal: control characters (C0, DEL, C1) as \xHH and invisible
// format characters such as bidirectional overrides as \uHHHH, so a file name cannot move
// the cursor, change colours or break a one-line message.
QString printable(const QString& text);

} // namespace vexa::cli
