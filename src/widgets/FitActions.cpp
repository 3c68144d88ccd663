#include "widgets/FitActions.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

namespace vexa::widgets {

namespace {

struct FitEntry {
    cover::CoverFit fit;
    const char* text;
    const char* objectName;
    const char* tip;
};

constexpr std::array<FitEntry, 3> kEntries{{
    {cover::CoverFit::Stretch, "&Stretch", "fitStretch",
     "Stretch the picture to the cover's proportions"},
    {cover::CoverFit::Fill, "F&ill", "fitFill",
     "Fill the whole cover and crop what overflows; drag the picture or use the arrow keys to "
     "move the crop"},
    {cover::CoverFit::Fit, "&Fit", "fitFit",
     "Fit the whole picture inside the cover, centred; the rest prints white"},
}};

std::size_t entryIndex(cover::CoverFit fit) {
    return static_cast<std::size_t>(fit);
}

} // namespace

FitActions::FitActions(QMenu& menu) : QObject(&menu), m_group(new QActionGroup(this)) {
    m_group->setExclusive(true);
    for (const FitEntry& entry : kEntries) {
        QAction* action = menu.addAction(QLatin1String(entry.text));
        action->setObjectName(QLatin1String(entry.objectName));
        action->setToolTip(QLatin1String(entry.tip));
        action->setStatusTip(QLatin1String(entry.tip));
        action->setCheckable(true);
        m_group->addAction(action);
        m_actions[entryIndex(entry.fit)] = action;
        connect(action, &QAction::triggered, this,
                [this, fit = entry.fit] { emit fitChosen(fit); });
    }
    showFit(cover::CoverFit::Stretch);
}

void FitActions::showFit(cover::CoverFit fit) {
    m_actions[entryIndex(fit)]->setChecked(true);
}

QAction* FitActions::action(cover::CoverFit fit) const {
    return m_actions[entryIndex(fit)];
}

} // namespace vexa::widgets
