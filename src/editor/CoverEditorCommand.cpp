#include "CoverEditorCommand.h"

#include "CoverEditor.h"
#include "CoverHost.h"
#include "MessageNoticeWindow.h"

namespace vexa {

void openCoverEditor(CoverHost& host) {
    if (!host.selectedKind()) {
        MessageNoticeWindow::open(host, QLatin1String(kSelectCoverMessage),
                                  QStringLiteral("picture"));
        return;
    }
    CoverEditor window(host, host.hostWindow());
    window.exec();
}

} // namespace vexa
