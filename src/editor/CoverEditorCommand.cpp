#include "editor/CoverEditorCommand.h"

#include "editor/CoverEditor.h"
#include "notify/MessageNoticeWindow.h"
#include "widgets/CoverHost.h"

namespace vexa::editor {

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
