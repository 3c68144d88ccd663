#include "core/base/Log.h"

namespace vexa::base {

// QtInfoMsg: without it a category shows its debug messages by default; with it they wait for
// QT_LOGGING_RULES, while warnings still show.
Q_LOGGING_CATEGORY(lcPicture, "vexa.picture", QtInfoMsg)
Q_LOGGING_CATEGORY(lcPrint, "vexa.print", QtInfoMsg)
Q_LOGGING_CATEGORY(lcScan, "vexa.scan", QtInfoMsg)
Q_LOGGING_CATEGORY(lcUpdate, "vexa.update", QtInfoMsg)

} // namespace vexa::base
