#pragma once

#include <QString>

namespace vexa::settings {

// A key of vexa6.ini: the section it lives in and its name, as written in the file.
struct SettingKey {
    const char* section;
    const char* name;

    QString sectionText() const { return QString::fromLatin1(section); }
    QString nameText() const { return QString::fromLatin1(name); }
};

// Every section and key VEXA reads or writes, in one place.
namespace keys {

// [MAIN]: the main window's state, and which covers Print Covers has chosen: one key per kind
// of cover, named as in the cover table (Front, Inside, Back, Mini, DVD, SLIM, HD, BLU, PSP,
// VITA, DS; see coverSelectionKey), "-1" chosen and "0" not.
inline constexpr const char* kMain = "MAIN";
inline constexpr SettingKey kTab{kMain, "Tab"};     // the open tab, 0 ... 11
inline constexpr SettingKey kDrive{kMain, "Drive"}; // the browser's drive (a mount point)
inline constexpr SettingKey kDir{kMain, "Dir"};     // the browser's folder

// [PRINT]: the choices of Print Covers.
inline constexpr const char* kPrint = "PRINT";
inline constexpr SettingKey kPaper{kPrint, "Paper"};         // "Letter" (and Legal) or "A4"
inline constexpr SettingKey kPdfFolder{kPrint, "PdfFolder"}; // the folder of the last PDF saved
inline constexpr SettingKey kMarks{kPrint, "Marks"};         // cut and fold marks, "1" or "0"
inline constexpr SettingKey kBleed{kPrint, "Bleed"};         // bleed in millimetres
// "OneCoverAPage" or "AsManyAsFit": covers on sheets of their own, or packed.
inline constexpr SettingKey kSheets{kPrint, "Sheets"};
inline constexpr SettingKey kCopies{kPrint, "Copies"}; // of each chosen cover, 1 ... 20

// [SCAN]: the scanner chosen with Source.
inline constexpr SettingKey kScanSource{"SCAN", "Source"};

// [RECENT]: the project files last opened or saved, newest first, File1 ... File10; empty
// or missing when there are fewer.
inline constexpr const char* kRecent = "RECENT";
inline constexpr SettingKey kRecentProjects[] = {
    {kRecent, "File1"}, {kRecent, "File2"}, {kRecent, "File3"}, {kRecent, "File4"},
    {kRecent, "File5"}, {kRecent, "File6"}, {kRecent, "File7"}, {kRecent, "File8"},
    {kRecent, "File9"}, {kRecent, "File10"}};

// [WINDOWS]: where the resizable windows were and how large, as Qt saves a window's geometry.
inline constexpr const char* kWindows = "WINDOWS";
inline constexpr SettingKey kMainGeometry{kWindows, "MainWindow"};
inline constexpr SettingKey kEditorGeometry{kWindows, "CoverManipulator"};

// [CALIBRATION]: one key per printer and paper, "Printer/Paper" (see CalibrationStore.h).
inline constexpr const char* kCalibration = "CALIBRATION";

} // namespace keys

// The [MAIN] key that keeps whether Print Covers has chosen a kind of cover: the cover table's
// key of that kind.
inline SettingKey coverSelectionKey(const char* coverKey) {
    return {keys::kMain, coverKey};
}

} // namespace vexa::settings
