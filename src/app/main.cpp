#include "frmSplash.h"
#include "frmcovercreator.h"

#include <QApplication>

#include <memory>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VEXA 6"));

    // The splash comes first; the main window is created when it has faded out.
    std::unique_ptr<vexa::frmcovercreator> window;
    auto* splash = new vexa::frmSplash([&window] {
        window = std::make_unique<vexa::frmcovercreator>();
        window->Form_Load();
    });
    splash->Form_Load();
    return QApplication::exec();
}
