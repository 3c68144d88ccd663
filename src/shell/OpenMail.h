#pragma once

#include <QString>

class QWidget;

namespace vexa::shell {

// The mailto address for a message: "mailto:" in front unless the address already starts with
// it (in any case), then "?subject=" and the subject when there is one, then "?" or "&" and
// "body=" and the body when there is one. Subject and body are joined as they are; turning
// blanks and brackets into URL escapes is left to the hand-over to the desktop.
QString mailtoAddress(const QString& address, const QString& subject, const QString& body);

// Opens the user's mail program on a new message. Without one, the address is shown over
// `owner` to be copied.
void openMail(const QString& address, const QString& subject, const QString& body, QWidget* owner);

} // namespace vexa::shell
