#include "print/TrimChoices.h"

#include "core/settings/Settings.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace vexa::print {

cover::TrimOptions rememberedTrim() {
    cover::TrimOptions options;
    options.marks = settings::readSetting(settings::keys::kMarks) == QLatin1String("1");
    options.bleedMm =
        cover::bleedFromText(settings::readSetting(settings::keys::kBleed)).value_or(0.0);
    return options;
}

void rememberTrim(const cover::TrimOptions& options) {
    // Like every setting, a file that cannot be written loses the choice silently.
    settings::writeSettings(
        {{settings::keys::kMarks, options.marks ? QStringLiteral("1") : QStringLiteral("0")},
         {settings::keys::kBleed, QString::number(options.bleedMm)}});
}

TrimChoices::TrimChoices(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("trimChoices"));
    const cover::TrimOptions remembered = rememberedTrim();

    m_marks = new QCheckBox(QStringLiteral("Cut &marks"), this);
    m_marks->setObjectName(QStringLiteral("cutMarks"));
    m_marks->setToolTip(QStringLiteral("Draw thin lines outside each cover's corners to cut "
                                       "along, and fold marks where the case folds."));
    m_marks->setChecked(remembered.marks);

    m_bleed = new QComboBox(this);
    m_bleed->setObjectName(QStringLiteral("bleedChoice"));
    m_bleed->view()->setAccessibleName(QStringLiteral("Bleed"));
    m_bleed->setToolTip(QStringLiteral("Carry the picture's edge on past the cut line, so a "
                                       "cut a hair outside it leaves no white edge."));
    for (const double mm : cover::kBleedChoicesMm)
        m_bleed->addItem(mm > 0 ? QStringLiteral("%1 mm").arg(mm) : QStringLiteral("None"), mm);
    m_bleed->setCurrentIndex(std::max(0, m_bleed->findData(remembered.bleedMm)));
    auto* bleedLabel = new QLabel(QStringLiteral("&Bleed:"), this);
    bleedLabel->setBuddy(m_bleed);

    m_calibrate = new QPushButton(QStringLiteral("Ca&librate Printer..."), this);
    m_calibrate->setObjectName(QStringLiteral("calibrateButton"));
    m_calibrate->setToolTip(QStringLiteral("Measure where the printer really prints, so covers "
                                           "come out at their exact place and size."));
    connect(m_calibrate, &QPushButton::clicked, this, &TrimChoices::calibrateClicked);

    const auto remember = [this] { rememberTrim(options()); };
    connect(m_marks, &QCheckBox::toggled, this, remember);
    connect(m_bleed, &QComboBox::currentIndexChanged, this, remember);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_marks);
    row->addSpacing(12);
    row->addWidget(bleedLabel);
    row->addWidget(m_bleed);
    row->addStretch(1);
    row->addWidget(m_calibrate);
}

cover::TrimOptions TrimChoices::options() const {
    return cover::TrimOptions{m_marks->isChecked(), m_bleed->currentData().toDouble()};
}

} // namespace vexa::print
