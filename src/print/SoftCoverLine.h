#pragma once

#include "core/cover/CoverSet.h"

#include <QLabel>

namespace vexa::print {

// The print window's line, in red, that names the chosen covers whose pictures will print
// soft ("The DVD cover will print soft: 96 dpi."); hidden while none will. It only warns:
// such covers print like any other.
class SoftCoverLine : public QLabel {
    Q_OBJECT
public:
    explicit SoftCoverLine(QWidget* parent = nullptr);

    void showFor(const cover::CoverRecords& records, cover::CoverKinds selection);
};

} // namespace vexa::print
