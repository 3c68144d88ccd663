#include "support/FakeCoverHost.h"
#include "support/RecordingPrinter.h"

#include "core/printing/PrintJob.h"

#include "support/QtPrinting.h"

#include <gtest/gtest.h>

#include <functional>

using namespace vexa;
using vexa::cover::CoverKind;
using vexa::cover::CoverKinds;
using vexa::test::FakeCoverHost;
using vexa::test::RecordingPrinter;

namespace {

struct Progress : printing::PrintProgress {
    void coverStarted(const cover::CoverFormat& kind) override {
        started << cover::printingMessage(kind);
    }
    void coverFinished(const cover::CoverFormat& kind,
                       const printing::DocumentResult& result) override {
        finished << QStringLiteral("%1 %2").arg(kind.key, result.sent ? "printed" : "not printed");
    }
    bool continueAfterCover() override {
        ++pauses;
        return afterCover ? afterCover() : true;
    }
    QStringList started;
    QStringList finished;
    int pauses = 0;
    std::function<bool()> afterCover;
};

// Slot n holds a picture of (10 + n) x (20 + n) pixels, so every drawing shows its slot.
void fillAllSlots(FakeCoverHost& host) {
    for (int n = 1; n <= 11; ++n)
        host.putPicture(QStringLiteral("Image%1").arg(n),
                        QImage(10 + n, 20 + n, QImage::Format_RGB32));
}

CoverKinds only(std::initializer_list<const char*> keys) {
    CoverKinds flags;
    for (const char* key : keys) flags |= cover::coverFormatForKey(QLatin1String(key))->id;
    return flags;
}

} // namespace

TEST(PrintJob, NothingSelectedSendsNothing) {
    FakeCoverHost host;
    fillAllSlots(host);
    RecordingPrinter printer;
    Progress progress;
    EXPECT_EQ(
        printing::printSelectedCovers(CoverKinds{}, host.covers().records(), printer, progress),
        printing::RunEnd::Finished);
    EXPECT_TRUE(printer.calls.isEmpty());
    EXPECT_TRUE(progress.started.isEmpty());
    EXPECT_EQ(progress.pauses, 0);
}

TEST(PrintJob, AllElevenPrintInTableOrderEachAsOneDocument) {
    FakeCoverHost host;
    fillAllSlots(host);
    RecordingPrinter printer;
    Progress progress;
    const CoverKinds flags = vexa::cover::kEveryCoverKind;
    EXPECT_EQ(printing::printSelectedCovers(flags, host.covers().records(), printer, progress),
              printing::RunEnd::Finished);

    EXPECT_EQ(printer.documents, 11);
    EXPECT_EQ(progress.started,
              QStringList({"Printing CD Front Cover.", "Printing CD Inside Cover.",
                           "Printing CD Back Cover.", "Printing CD Mini Cover.",
                           "Printing DVD Cover.", "Printing DVD Slim Cover.",
                           "Printing HD-DVD Cover.", "Printing Blu-ray Cover.",
                           "Printing PSP Cover.", "Printing Vita Cover.", "Printing DS Cover."}));
    EXPECT_EQ(progress.pauses, 11);
    const QStringList expected{
        // Front: slot 1, portrait Letter.
        "paper 1", "orientation 1", "draw 11x21 at 0,0 size 6840.0x6840.0", "end", "paper 1",
        "orientation 1", "draw 12x22 at 0,0 size 6840.0x6840.0", "end", "paper 1", "orientation 1",
        "draw 13x23 at 0,0 size 8496.0x6696.0", "end",
        // Mini prints slot 5, landscape.
        "paper 1", "orientation 2", "draw 15x25 at 0,0 size 4680.0x4968.0", "end",
        // DVD prints slot 4 on Legal, then Letter comes back.
        "paper 5", "orientation 2", "draw 14x24 at 0,0 size 15390.0x10260.0", "end", "paper 1",
        "paper 5", "orientation 2", "draw 18x28 at 0,0 size 15030.0x10260.0", "end", "paper 1",
        "paper 1", "orientation 2", "draw 19x29 at 0,0 size 15120.0x8460.0", "end", "paper 1",
        "orientation 2", "draw 20x30 at 0,0 size 15120.0x8460.0", "end", "paper 1", "orientation 2",
        "draw 16x26 at 0,0 size 11880.0x9540.0", "end", "paper 1", "orientation 2",
        "draw 21x31 at 0,0 size 12330.0x7100.0", "end",
        // DS keeps its fractions.
        "paper 5", "orientation 2", "draw 17x27 at 0,0 size 15652.8x6580.8", "end", "paper 1"};
    EXPECT_EQ(printer.calls, expected);
}

TEST(PrintJob, EmptySlotGivesNoDocumentAndTheNextKindStillPrints) {
    FakeCoverHost host;
    fillAllSlots(host);
    host.putPicture("Image1", QImage());
    RecordingPrinter printer;
    Progress progress;
    EXPECT_EQ(printing::printSelectedCovers(only({"Front", "Inside"}), host.covers().records(),
                                            printer, progress),
              printing::RunEnd::Finished);
    EXPECT_EQ(printer.documents, 1);
    EXPECT_EQ(progress.finished, QStringList({"Front not printed", "Inside printed"}));
    // The empty slot was still set up and ended, so its status message was shown.
    EXPECT_EQ(progress.started.size(), 2);
    EXPECT_EQ(printer.calls.mid(0, 4), QStringList({"paper 1", "orientation 1",
                                                    "draw 0x0 at 0,0 size 6840.0x6840.0", "end"}));
}

TEST(PrintJob, StoppingEndsTheRunAfterTheCoverBeingSent) {
    FakeCoverHost host;
    fillAllSlots(host);
    RecordingPrinter printer;
    Progress progress;
    progress.afterCover = [] { return false; };
    const CoverKinds flags = vexa::cover::kEveryCoverKind;
    EXPECT_EQ(printing::printSelectedCovers(flags, host.covers().records(), printer, progress),
              printing::RunEnd::Stopped);
    EXPECT_EQ(printer.documents, 1);
    EXPECT_EQ(progress.started, QStringList({"Printing CD Front Cover."}));
}

TEST(PrintJob, AToggleWhileTheRunWaitsCountsForKindsAhead) {
    FakeCoverHost host;
    fillAllSlots(host);
    RecordingPrinter printer;
    Progress progress;
    CoverKinds flags = only({"Front", "DVD"});
    // After Front the user switches Back on and DVD off.
    progress.afterCover = [&flags] {
        flags.setFlag(CoverKind::Back);
        flags.setFlag(CoverKind::Dvd, false);
        return true;
    };
    printing::printSelectedCovers(flags, host.covers().records(), printer, progress);
    EXPECT_EQ(progress.finished, QStringList({"Front printed", "Back printed"}));
}

TEST(PrintJob, OnA4EveryKindGoesOnA4InItsOwnOrientationAtItsOwnSize) {
    FakeCoverHost host;
    fillAllSlots(host);
    RecordingPrinter printer;
    Progress progress;
    printing::printSelectedCovers(only({"Back", "DVD", "DS"}), host.covers().records(), printer,
                                  progress, cover::PaperChoice::A4);
    // A4 is code 9 in the platform's paper codes; nothing is set back to Letter.
    EXPECT_EQ(
        printer.calls,
        QStringList({"paper 9", "orientation 1", "draw 13x23 at 0,0 size 8496.0x6696.0", "end",
                     "paper 9", "orientation 2", "draw 14x24 at 0,0 size 15390.0x10260.0", "end",
                     "paper 9", "orientation 2", "draw 17x27 at 0,0 size 15652.8x6580.8", "end"}));
}

TEST(PrintJob, NoticesNameTheCoverAndWhatWentWrong) {
    const cover::CoverFormat& hd = *cover::coverFormatForKey("HD");
    const struct {
        printing::DocumentResult result;
        QString notice;
    } cases[] = {
        {{true, "", "", "", "", "", 0}, ""},
        {{false, "", "", "", "", "", 0}, ""}, // an empty slot is no fault
        {{true, "", "12.7 mm on the right", "", "", "", 0},
         "The printer's margins cut off 12.7 mm on the right of the HD-DVD cover."},
        {{false, "printer beta has no A4 paper", "", "", "", "", 0},
         "The HD-DVD cover was not printed: printer beta has no A4 paper."},
        {{true, "", "12.7 mm on the right", "0.0 mm on the left and 0.0 mm on the right",
          "The calibration of printer alpha is not used.", "", 0},
         "The printer's margins cut off 12.7 mm on the right of the HD-DVD cover. The HD-DVD "
         "cover's bleed and marks have only 0.0 mm on the left and 0.0 mm on the right. The "
         "calibration of printer alpha is not used."},
        {{false, "printer beta has no A4 paper", "", "2.7 mm on the right", "x", "", 0},
         "The HD-DVD cover was not printed: printer beta has no A4 paper."},
    };
    for (const auto& c : cases) EXPECT_EQ(printing::coverNotice(hd, c.result), c.notice);
}
