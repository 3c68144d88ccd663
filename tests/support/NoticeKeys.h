#pragma once

#include "notify/PopupLayout.h"

#include <Qt>

#include <array>

namespace vexa::test {

// What Enter and Escape answer in each kind of notice: Enter its default button, Escape its
// Cancel or Ok.
struct NoticeKey {
    const char* kind;
    Qt::Key key;
    notify::PopupButton pressed;
};

inline constexpr std::array<NoticeKey, 4> kNoticeKeys{{
    {"picture", Qt::Key_Return, notify::PopupButton::Ok},
    {"picture", Qt::Key_Escape, notify::PopupButton::Ok},
    {"update", Qt::Key_Enter, notify::PopupButton::Download},
    {"update", Qt::Key_Escape, notify::PopupButton::Cancel},
}};

} // namespace vexa::test
