#include "core/cover/SheetChoices.h"

#include "core/settings/Settings.h"

namespace vexa::cover {

SheetLayout sheetLayoutFromText(const QString& text) {
    return text.compare(QLatin1String("AsManyAsFit"), Qt::CaseInsensitive) == 0
               ? SheetLayout::AsManyAsFit
               : SheetLayout::OneCoverAPage;
}

QString sheetLayoutText(SheetLayout layout) {
    return layout == SheetLayout::AsManyAsFit ? QStringLiteral("AsManyAsFit")
                                              : QStringLiteral("OneCoverAPage");
}

std::optional<int> copiesFromText(const QString& text) {
    bool ok = false;
    const int copies = text.trimmed().toInt(&ok);
    if (!ok || copies < kMinCopies || copies > kMaxCopies) return std::nullopt;
    return copies;
}

SheetChoices rememberedSheets() {
    SheetChoices choices;
    choices.layout = sheetLayoutFromText(settings::readSetting(settings::keys::kSheets));
    choices.copies =
        copiesFromText(settings::readSetting(settings::keys::kCopies)).value_or(kMinCopies);
    return choices;
}

void rememberSheets(const SheetChoices& choices) {
    // Like every setting, a file that cannot be written loses the choice silently.
    settings::writeSettings({{settings::keys::kSheets, sheetLayoutText(choices.layout)},
                             {settings::keys::kCopies, QString::number(choices.copies)}});
}

} // namespace vexa::cover
