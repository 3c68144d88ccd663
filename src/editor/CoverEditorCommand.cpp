#include "editor/CoverEditorCommand.h"

#include "core/cover/CoverFormats.h"
#include "editor/CoverEditor.h"
#include "notify/MessageNoticeWindow.h"
#include "widgets/CoverHost.h"

namespace vexa::editor {

QString emptyCoverMessage(cover::CoverKind kind) {
    return QStringLiteral("The %1 cover has no picture yet. Click a picture file on the right to "
                          "put it there.")
        .arg(cover::coverName(cover::coverFormat(kind)));
}

void openCoverEditor(widgets::CoverHost& host) {
    if (!host.selectedKind()) {
        notify::MessageNoticeWindow::open(host, QLatin1String(kSelectCoverMessage),
                                          QStringLiteral("picture"));
        return;
    }
    CoverEditor window(host, host.hostWindow());
    window.exec();
}

} // namespace vexa::editor
