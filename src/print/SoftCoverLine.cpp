#include "print/SoftCoverLine.h"

#include "core/cover/PrintResolution.h"

namespace vexa::print {

SoftCoverLine::SoftCoverLine(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("softCovers"));
    setWordWrap(true);
    QPalette warning = palette();
    warning.setColor(QPalette::WindowText, QColor(170, 0, 0));
    setPalette(warning);
    hide();
}

void SoftCoverLine::showFor(const cover::CoverRecords& records, cover::CoverKinds selection) {
    const QString notice = cover::softCoversNotice(records, selection);
    setText(notice);
    setVisible(!notice.isEmpty());
}

} // namespace vexa::print
