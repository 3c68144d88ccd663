#pragma once

#include "core/cover/TrimOptions.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QPushButton;

namespace vexa::print {

// The print dialog's row for cutting covers out: "Cut marks", "Bleed" (none, 1.5 mm, 3 mm)
// and "Calibrate Printer...". The choices are kept in the settings file ([PRINT] Marks and
// Bleed) as they change.
class TrimChoices : public QWidget {
    Q_OBJECT
public:
    explicit TrimChoices(QWidget* parent = nullptr);

    cover::TrimOptions options() const;
    QPushButton* calibrateButton() const { return m_calibrate; }

signals:
    void calibrateClicked();

private:
    QCheckBox* m_marks = nullptr;
    QComboBox* m_bleed = nullptr;
    QPushButton* m_calibrate = nullptr;
};

// [PRINT] Marks and Bleed in the settings file; off when missing or not understood.
cover::TrimOptions rememberedTrim();
void rememberTrim(const cover::TrimOptions& options);

} // namespace vexa::print
