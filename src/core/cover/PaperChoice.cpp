#include "core/cover/PaperChoice.h"

#include "core/settings/Settings.h"

namespace vexa::cover {

PaperChoice paperChoiceFromText(const QString& text) {
    return text.compare(QLatin1String("A4"), Qt::CaseInsensitive) == 0 ? PaperChoice::A4
                                                                       : PaperChoice::LetterLegal;
}

QString paperChoiceText(PaperChoice choice) {
    return choice == PaperChoice::A4 ? QStringLiteral("A4") : QStringLiteral("Letter");
}

Paper paperFor(const CoverFormat& kind, PaperChoice choice) {
    return choice == PaperChoice::A4 ? Paper::A4 : kind.paper;
}

QPageLayout::Orientation pageOrientation(Orientation orientation) {
    return orientation == Orientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

QPageSize pageSizeForPaper(Paper paper) {
    switch (paper) {
    case Paper::Letter:
        return QPageSize(QPageSize::Letter);
    case Paper::Legal:
        return QPageSize(QPageSize::Legal);
    case Paper::A4:
        return QPageSize(QPageSize::A4);
    }
    return QPageSize();
}

QString paperName(Paper paper) {
    switch (paper) {
    case Paper::Letter:
        return QStringLiteral("Letter");
    case Paper::Legal:
        return QStringLiteral("Legal");
    case Paper::A4:
        return QStringLiteral("A4");
    }
    return QString();
}

const char* pwgMediaName(Paper paper) {
    switch (paper) {
    case Paper::Letter:
        return "na_letter_8.5x11in";
    case Paper::Legal:
        return "na_legal_8.5x14in";
    case Paper::A4:
        return "iso_a4_210x297mm";
    }
    return "";
}

PaperChoice rememberedPaper() {
    return paperChoiceFromText(settings::readSetting(settings::keys::kPaper));
}

void rememberPaper(PaperChoice choice) {
    // Like every setting, a file that cannot be written loses the choice silently.
    settings::writeSetting(settings::keys::kPaper, paperChoiceText(choice));
}

} // namespace vexa::cover
