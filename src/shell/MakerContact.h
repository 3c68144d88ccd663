#pragma once

class QWidget;

namespace vexa::shell {

// Where users reach the maker. Both lie under the reserved ".example" domain, which never
// resolves, until the maker has real ones.
inline constexpr const char* kSupportAddress = "support@vexa.example";
inline constexpr const char* kWebsiteAddress = "http://www.vexa.example/";
inline constexpr const char* kBugReportSubject =
    "VEXA 6 Bug Report (Version 6.0.0 Glass Otter Release)";

// "Report A Bug": a new message to the support address with the bug-report subject and no
// text. "Visit Website": the maker's site in the default browser. When the desktop has no
// program for them, the address is shown over `owner` to be copied.
void startBugReport(QWidget* owner);
void openMakersWebsite(QWidget* owner);

} // namespace vexa::shell
