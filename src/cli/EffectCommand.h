#pragma once

#include <QStringList>

namespace vexa::cli {

// `vexa-cli effect ...`: applies one effect to a picture file and writes the result by the
// output's extension. Returns the exit status: 0 done, 1 refused effect or unreadable or
// unwritable file, 2 usage error; failures print one line on stderr.
int runEffectCommand(const QStringList& arguments);

} // namespace vexa::cli
