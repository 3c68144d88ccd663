#pragma once

#include "core/cover/CoverKind.h"
#include "core/cover/CoverSet.h"
#include "core/picture/PictureFile.h"

#include <optional>
#include <utility>

class QWidget;

namespace vexa::widgets {

// What other windows may reach of the main window: the cover set it shows, the selected
// cover and the window itself (owner of dialogs, disabled while a popup is up). Windows take
// this interface instead of the main window, so each can be tested alone with a fake.
class CoverHost {
public:
    virtual ~CoverHost() = default;

    virtual cover::CoverSet& covers() = 0;

    // The Cover Manipulator's Accept: the kind's picture replaced by its edit, with the fit
    // and crop it was accepted with. The main window makes it a step of its Undo history.
    virtual void acceptEdit(cover::CoverKind kind, picture::LoadedPicture picture,
                            const cover::Framing& framing) {
        covers().setPicture(kind, std::move(picture));
        covers().setFraming(kind, framing);
    }

    // The cover last clicked, or nothing while none was.
    virtual std::optional<cover::CoverKind> selectedKind() const = 0;

    virtual QWidget* hostWindow() = 0;
};

} // namespace vexa::widgets
