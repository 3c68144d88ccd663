#pragma once

#include <QString>

#include <array>

namespace vexa::print {

// Page orientation and paper codes handed to the printer before a cover is printed.
inline constexpr int kPortrait = 1;
inline constexpr int kLandscape = 2;
inline constexpr int kPaperLetter = 1;
inline constexpr int kPaperLegal = 5;
inline constexpr int kPaperA4 = 9; // never in the table: only the paper setting chooses it

inline constexpr double kTwipsPerInch = 1440.0;
inline constexpr double kPointsPerInch = 72.0;

// Everything that differs from one kind of cover to the next. The print job and the print
// dialog walk this table; neither keeps per-kind constants of its own.
struct CoverFormat {
    const char* key;     // settings key, case as written in vexa6.ini
    const char* slot;    // main-window slot whose picture is printed
    const char* button;  // toggle button of the print dialog
    const char* toolTip; // that button's tool tip
    const char* message; // status line while this kind is printed
    double width;        // printed size in twips, as seen on the page in its orientation
    double height;
    int orientation; // kPortrait or kLandscape
    int paper;       // kPaperLetter or kPaperLegal
};

// In print order: the order in which covers are printed and settings read and written.
// Only DS has fractional sizes (10.87 x 4.57 inches exactly).
inline constexpr std::array<CoverFormat, 11> kCoverFormats{{
    {"Front", "Image1", "Command1", "Print CD front cover.", "Printing CD Front Cover.", 6840, 6840,
     kPortrait, kPaperLetter},
    {"Inside", "Image2", "Command2", "Print CD inside cover.", "Printing CD Inside Cover.", 6840,
     6840, kPortrait, kPaperLetter},
    {"Back", "Image3", "Command3", "Print CD back cover.", "Printing CD Back Cover.", 8496, 6696,
     kPortrait, kPaperLetter},
    {"Mini", "Image5", "Command4", "Print CD mini cover.", "Printing CD Mini Cover.", 4680, 4968,
     kLandscape, kPaperLetter},
    {"DVD", "Image4", "Command5", "Print DVD cover.", "Printing DVD Cover.", 15390, 10260,
     kLandscape, kPaperLegal},
    {"SLIM", "Image8", "Command6", "Print DVD Slim cover.", "Printing DVD Slim Cover.", 15030,
     10260, kLandscape, kPaperLegal},
    {"HD", "Image9", "Command7", "Print HD-DVD cover.", "Printing HD-DVD Cover.", 15120, 8460,
     kLandscape, kPaperLetter},
    {"BLU", "Image10", "Command8", "Print Blu-Ray cover.", "Printing Blu-Ray Cover.", 15120, 8460,
     kLandscape, kPaperLetter},
    {"PSP", "Image6", "Command9", "Print PSP cover.", "Printing PSP Cover.", 11880, 9540,
     kLandscape, kPaperLetter},
    {"VITA", "Image11", "Command10", "Print Vita cover.", "Printing Vita Cover.", 12330, 7100,
     kLandscape, kPaperLetter},
    {"DS", "Image7", "Command11", "Print DS cover.", "Printing DS Cover.", 15652.8, 6580.8,
     kLandscape, kPaperLegal},
}};

inline constexpr int kCoverKindCount = static_cast<int>(kCoverFormats.size());

// The kind at print position 1 ... 11, or nullptr.
const CoverFormat* coverFormatAt(int position);

// The kind whose key is exactly `key` ("BLU" finds one, "Blu" does not), or nullptr.
const CoverFormat* coverFormatForKey(const QString& key);

// The kind's name as people say it, taken from its status message
// ("Printing CD Front Cover." gives "CD Front").
QString coverName(const CoverFormat& kind);

// Twips to device units on an axis of the given resolution; fractions are kept.
double twipsToDevice(double twips, double dotsPerInch);

} // namespace vexa::print
