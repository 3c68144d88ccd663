#include "frmcovercreator.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VEXA 6"));

    vexa::frmcovercreator window;
    window.Form_Load();
    return QApplication::exec();
}
