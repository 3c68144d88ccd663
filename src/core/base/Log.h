#pragma once

#include <QLoggingCategory>

// What VEXA did, for a user who files a bug: written with qCDebug, off by default and on with
// QT_LOGGING_RULES="vexa.*.debug=true" vexa
namespace vexa::base {

Q_DECLARE_LOGGING_CATEGORY(lcPicture) // "vexa.picture": pictures read or refused
Q_DECLARE_LOGGING_CATEGORY(lcPrint)   // "vexa.print": printers, jobs sent, refused or held
Q_DECLARE_LOGGING_CATEGORY(lcScan)    // "vexa.scan": scanners searched, opened, scans
Q_DECLARE_LOGGING_CATEGORY(lcUpdate)  // "vexa.update": the update check

} // namespace vexa::base
