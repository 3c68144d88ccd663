#include "about/AboutWindow.h"

#include "about/CreditsScroller.h"
#include "widgets/ProgramIcon.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vexa::about {

QStringList AboutWindow::creditLines() {
    return {QStringLiteral("VEXA 6"),
            QStringLiteral("Covers for discs and games"),
            QString(),
            QStringLiteral("Design and programming"),
            QStringLiteral("The VEXA team"),
            QString(),
            QStringLiteral("Cover Manipulator and effects"),
            QStringLiteral("The VEXA team"),
            QString(),
            QStringLiteral("Splash, icons and chime"),
            QStringLiteral("Drawn and composed for VEXA"),
            QString(),
            QStringLiteral("Built with"),
            QStringLiteral("Qt 6"),
            QStringLiteral("CUPS"),
            QStringLiteral("SANE"),
            QStringLiteral("giflib and libimagequant"),
            QString(),
            QStringLiteral("Thank you to everyone"),
            QStringLiteral("who reported a bug."),
            QString(),
            QStringLiteral("Glass Otter Release")};
}

AboutWindow::AboutWindow(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("aboutWindow"));
    setWindowTitle(QStringLiteral("About VEXA"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("programIcon"));
    icon->setAccessibleName(QStringLiteral("VEXA icon"));
    icon->setPixmap(widgets::programIcon().pixmap(48, 48));
    auto* name = new QLabel(QString::fromLatin1(kProgramName), this);
    name->setObjectName(QStringLiteral("programName"));
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    name->setFont(big);
    auto* release = new QLabel(QString::fromLatin1(kRelease), this);
    release->setObjectName(QStringLiteral("programVersion"));

    m_credits = new CreditsScroller(creditLines(), this);
    m_ok = new QPushButton(QStringLiteral("&Close"), this);
    m_ok->setObjectName(QStringLiteral("okButton"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::close);

    auto* heading = new QVBoxLayout;
    heading->addWidget(name);
    heading->addWidget(release);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(heading, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_credits, 1);
    layout->addLayout(buttons);
    resize(340, 300);
}

AboutWindow* AboutWindow::open(QWidget* owner) {
    auto* window = new AboutWindow(owner);
    window->show();
    return window;
}

void AboutWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_credits->start();
}

void AboutWindow::hideEvent(QHideEvent* event) {
    // Closed or hidden: nothing left to animate.
    m_credits->stop();
    QDialog::hideEvent(event);
}

} // namespace vexa::about
