#pragma once

#include "core/cover/CoverKind.h"

#include <optional>

class QWidget;

namespace vexa::cover {
class CoverSet;
}

namespace vexa::widgets {

// What other windows may reach of the main window: the cover set it shows, the selected
// cover and the window itself (owner of dialogs, disabled while a popup is up). Windows take
// this interface instead of the main window, so each can be tested alone with a fake.
class CoverHost {
public:
    virtual ~CoverHost() = default;

    virtual cover::CoverSet& covers() = 0;

    // The cover last clicked, or nothing while none was.
    virtual std::optional<cover::CoverKind> selectedKind() const = 0;

    virtual QWidget* hostWindow() = 0;
};

} // namespace vexa::widgets
