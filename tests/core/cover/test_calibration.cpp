#include "core/cover/CalibrationInput.h"
#include "core/cover/CalibrationStore.h"
#include "core/cover/PaperChoice.h"
#include "core/cover/PrinterCalibration.h"

#include <QTemporaryDir>

#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace vexa;

namespace {

cover::PrinterCalibration
calibrationOf(const std::variant<cover::PrinterCalibration, QString>& result) {
    if (const QString* problem = std::get_if<QString>(&result))
        ADD_FAILURE() << "refused: " << problem->toStdString();
    return std::holds_alternative<cover::PrinterCalibration>(result)
               ? std::get<cover::PrinterCalibration>(result)
               : cover::PrinterCalibration{};
}

QString problemOf(const std::variant<cover::PrinterCalibration, QString>& result) {
    EXPECT_TRUE(std::holds_alternative<QString>(result)) << "taken, should be refused";
    return std::holds_alternative<QString>(result) ? std::get<QString>(result) : QString();
}

TEST(Calibration, MeasurementsGiveScaleFromTheRulerAndOffsetFromTheLine) {
    struct Case {
        cover::CalibrationMeasurements measured;
        cover::PrinterCalibration expected; // offset across, down (mm); scale across, down
    };
    const Case cases[] = {
        {{20.0, 20.0, 150.0, 150.0}, {0.0, 0.0, 1.0, 1.0}},
        // s = 151.5 / 150 = 1.01, offset = 21.5 - 1.01 * 20; s = 0.99, offset = 18 - 19.8.
        {{21.5, 18.0, 151.5, 148.5}, {1.3, -1.8, 1.01, 0.99}},
        // The limits themselves are taken: 105 % and 95 %, +10 mm and -10 mm.
        {{31.0, 9.0, 157.5, 142.5}, {10.0, -10.0, 1.05, 0.95}},
    };
    for (const Case& c : cases) {
        const cover::PrinterCalibration got =
            calibrationOf(cover::calibrationFromMeasurements(c.measured));
        EXPECT_NEAR(got.offsetAcrossMm, c.expected.offsetAcrossMm, 1e-9);
        EXPECT_NEAR(got.offsetDownMm, c.expected.offsetDownMm, 1e-9);
        EXPECT_NEAR(got.scaleAcross, c.expected.scaleAcross, 1e-12);
        EXPECT_NEAR(got.scaleDown, c.expected.scaleDown, 1e-12);
    }
}

TEST(Calibration, FiguresBeyondWhatAPrinterIsOffByAreAMisreadRuler) {
    struct Case {
        cover::CalibrationMeasurements measured;
        const char* says;
    };
    const Case cases[] = {
        {{20, 20, 157.6, 150}, "stretches everything by 5.1 %"},
        {{20, 20, 150, 142.4}, "shrinks everything by 5.1 %"},
        {{20, 20, 0, 150}, "shrinks everything by 100.0 %"},
        {{30.1, 20, 150, 150}, "paper's left edge would mean that the printer prints 10.1 mm off"},
        {{20, 9.8, 150, 150}, "paper's top edge would mean that the printer prints 10.2 mm off"},
        // 45 mm is a misread of the 20 mm line even on a printer that stretches by 5 %.
        {{45, 20, 157.5, 150}, "prints 24.0 mm off"},
    };
    for (const Case& c : cases) {
        const QString problem = problemOf(cover::calibrationFromMeasurements(c.measured));
        EXPECT_TRUE(problem.contains(QLatin1String(c.says))) << problem.toStdString();
        EXPECT_TRUE(problem.contains(QLatin1String("misread"))) << problem.toStdString();
    }
}

TEST(CalibrationInput, TypedLengthsTakeAPointOrACommaAndNothingElse) {
    const std::pair<const char*, double> taken[] = {
        {"20.5", 20.5}, {"20,5", 20.5}, {" 150 mm", 150.0}, {"149,75MM", 149.75},
        {"21", 21.0},   {",5", 0.5},    {"20.", 20.0},
    };
    for (const auto& [text, value] : taken) {
        const auto parsed =
            cover::parseMillimetres(QString::fromUtf8(text), cover::CalibrationFigure::Left);
        ASSERT_TRUE(std::holds_alternative<double>(parsed)) << text;
        EXPECT_DOUBLE_EQ(std::get<double>(parsed), value) << text;
    }
    for (const char* text : {"2O.5", "abc", "20.5.1", "20,5,1", "-3", "+3", "1e2", "20 cm",
                             "twenty", "0x14", "nan", "inf", "."}) {
        const auto parsed =
            cover::parseMillimetres(QString::fromUtf8(text), cover::CalibrationFigure::Across);
        ASSERT_TRUE(std::holds_alternative<QString>(parsed)) << text;
        const QString sentence = std::get<QString>(parsed);
        EXPECT_TRUE(sentence.contains(QStringLiteral("\"%1\" is not a length").arg(text)))
            << sentence.toStdString();
        EXPECT_TRUE(sentence.contains("the length of the ruler across the page"))
            << sentence.toStdString();
    }
    for (const char* text : {"", "   ", "\t"}) {
        const auto parsed =
            cover::parseMillimetres(QString::fromUtf8(text), cover::CalibrationFigure::Top);
        ASSERT_TRUE(std::holds_alternative<QString>(parsed)) << text;
        EXPECT_EQ(std::get<QString>(parsed),
                  "Type the distance from the paper's top edge to the line in millimetres, as "
                  "measured on the printed page.");
    }
}

TEST(CalibrationInput, FourTypedFiguresBecomeACalibrationOrTheFirstProblem) {
    const cover::PrinterCalibration c =
        calibrationOf(cover::calibrationFromText({"21,5", "18", "151.5", "148,5"}));
    EXPECT_NEAR(c.offsetAcrossMm, 1.3, 1e-9);
    EXPECT_NEAR(c.scaleDown, 0.99, 1e-12);
    EXPECT_TRUE(problemOf(cover::calibrationFromText({"21", "", "150", "150"}))
                    .contains("the distance from the paper's top edge"));
    EXPECT_TRUE(
        problemOf(cover::calibrationFromText({"21", "20", "15", "150"})).contains("misread"));
}

class CalibrationStoreTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath("vexa6.ini");
    cover::CalibrationStore store{path};

    void writeRaw(const QByteArray& text) { vexa::test::writeFileBytes(path, text); }
    QByteArray readRaw() { return vexa::test::fileBytes(path); }
};

TEST_F(CalibrationStoreTest, ALineAPersonCanReadAndEdit) {
    ASSERT_TRUE(store.write("Office Laser", cover::Paper::A4, {1.3, -1.8, 1.01, 0.99}));
    EXPECT_EQ(readRaw(), "[CALIBRATION]\n"
                         "Office%20Laser/A4=across +1.30 mm 101.000 %, down -1.80 mm 99.000 %\n");
    // Edited by hand, with a comma for the decimal mark and other spacing.
    writeRaw("[CALIBRATION]\noffice%20laser/a4 = Across -0,5mm 100,5%,down 2 MM 99.25 %\n");
    const cover::StoredCalibration read = store.read("Office Laser", cover::Paper::A4);
    ASSERT_TRUE(read.calibration.has_value()) << read.problem.toStdString();
    EXPECT_EQ(*read.calibration, (cover::PrinterCalibration{-0.5, 2.0, 1.005, 0.9925}));
    EXPECT_TRUE(read.problem.isEmpty());
}

TEST_F(CalibrationStoreTest, EachPrinterAndPaperIsStoredApartWhateverTheNameHolds) {
    const QString names[] = {"alpha",      "a]b",         "x=y",
                             "with space", "a%20b",       "with/slash",
                             "[section]",  "café ümlaut", "semi;colon#hash\"quote'"};
    const cover::Paper papers[] = {cover::Paper::Letter, cover::Paper::Legal, cover::Paper::A4};
    int n = 0;
    for (const QString& name : names)
        for (const cover::Paper paper : papers) {
            ++n;
            ASSERT_TRUE(store.write(name, paper, {n * 0.01, -n * 0.01, 1.0 + n * 0.0001, 0.99}))
                << name.toStdString();
        }
    n = 0;
    for (const QString& name : names)
        for (const cover::Paper paper : papers) {
            ++n;
            const cover::StoredCalibration read = store.read(name, paper);
            ASSERT_TRUE(read.calibration.has_value())
                << name.toStdString() << " " << read.problem.toStdString();
            EXPECT_NEAR(read.calibration->offsetAcrossMm, n * 0.01, 1e-9) << name.toStdString();
            EXPECT_NEAR(read.calibration->scaleAcross, 1.0 + n * 0.0001, 1e-9);
        }
    // Every line is a key of the one section: no name opened a section or split a key.
    const QList<QByteArray> lines = readRaw().split('\n');
    EXPECT_EQ(lines.count("[CALIBRATION]"), 1);
    EXPECT_EQ(lines.size(), 1 + n + 1); // the header, one line each, the final line end
    EXPECT_FALSE(store.read("unknown", cover::Paper::A4).calibration.has_value());

    // Reset takes out one printer's paper and nothing else.
    ASSERT_TRUE(store.remove("a]b", cover::Paper::Legal));
    EXPECT_FALSE(store.read("a]b", cover::Paper::Legal).calibration.has_value());
    EXPECT_TRUE(store.read("a]b", cover::Paper::Letter).calibration.has_value());
    EXPECT_TRUE(store.read("a%20b", cover::Paper::Legal).calibration.has_value());
    EXPECT_TRUE(store.remove("never stored", cover::Paper::A4));
}

TEST_F(CalibrationStoreTest, HandEditedGarbageIsNamedAndNotApplied) {
    struct Case {
        QByteArray value;
        const char* says;
    };
    const Case cases[] = {
        {"banana", "cannot be read (\"banana\"); it should look like \"across +1.20 mm "
                   "100.300 %, down -0.80 mm 99.800 %\""},
        {"across 1 mm 100 %", "cannot be read"},
        {"across x mm 100 %, down 0 mm 100 %", "cannot be read"},
        {"across +15 mm 100 %, down 0 mm 100 %", "is not used: an offset of 15.0 mm across"},
        {"across 0 mm 100 %, down 0 mm 80 %", "is not used: a scale of 80.0 % down"},
        {"across 0 mm 0 %, down 0 mm 100 %", "a scale of 0.0 % across"},
    };
    for (const Case& c : cases) {
        writeRaw("[CALIBRATION]\nbeta/Letter=" + c.value + "\n");
        const cover::StoredCalibration read = store.read("beta", cover::Paper::Letter);
        EXPECT_FALSE(read.calibration.has_value()) << c.value.toStdString();
        EXPECT_TRUE(
            read.problem.startsWith("The calibration of printer beta on Letter paper in " + path))
            << read.problem.toStdString();
        EXPECT_TRUE(read.problem.contains(QLatin1String(c.says))) << read.problem.toStdString();
        EXPECT_TRUE(read.problem.endsWith("The printer prints without a calibration."));
    }
}

TEST_F(CalibrationStoreTest, ABrokenHeaderIsNamedAndItsLinesAreNotApplied) {
    const QByteArray line = "beta/Letter=across +1.00 mm 100.000 %, down 0.00 mm 100.000 %\n";
    for (const char* header :
         {"[CALIBRATION", "CALIBRATION]", "[[calibration]]", " calibration ", "[ Calibration"}) {
        SCOPED_TRACE(header);
        writeRaw(QByteArray("[PRINT]\nPaper=A4\n") + header + "\n" + line);
        const QString named =
            QStringLiteral("Line 3 of %1, \"%2\", is not a section header, so the calibrations "
                           "below it are not used; write it as \"[CALIBRATION]\".")
                .arg(path, QString::fromUtf8(header).trimmed());
        const cover::StoredCalibration beta = store.read("beta", cover::Paper::Letter);
        EXPECT_FALSE(beta.calibration.has_value());
        EXPECT_EQ(beta.problem.toStdString(), named.toStdString());
        EXPECT_EQ(beta.sectionProblem.toStdString(), named.toStdString());
        // Named whichever printer is asked for: its calibration may be among those lost.
        const cover::StoredCalibration alpha = store.read("alpha", cover::Paper::A4);
        EXPECT_TRUE(alpha.problem.isEmpty());
        EXPECT_EQ(alpha.sectionProblem.toStdString(), named.toStdString());
    }
    // A sound header, or a broken one with nothing below it or inside the section, loses
    // nothing.
    for (const QByteArray& text :
         {"[CALIBRATION]\n" + line, "[CALIBRATION\n[CALIBRATION]\n" + line,
          "[CALIBRATION]\n" + line +
              "[CALIBRATION\nalpha/A4=across 0 mm 100 %, down 0 mm 100 %\n"}) {
        SCOPED_TRACE(text.toStdString());
        writeRaw(text);
        const cover::StoredCalibration beta = store.read("beta", cover::Paper::Letter);
        EXPECT_TRUE(beta.calibration.has_value());
        EXPECT_TRUE(beta.problem.isEmpty() && beta.sectionProblem.isEmpty())
            << beta.problem.toStdString() << beta.sectionProblem.toStdString();
    }
}

TEST_F(CalibrationStoreTest, APrinterAndPaperGivenTwiceIsNamedAndNotApplied) {
    const QByteArray first = "beta/Letter=across +1.00 mm 100.000 %, down 0.00 mm 100.000 %\n";
    const QByteArray second = "BETA/letter = across +2.00 mm 100.000 %, down 0.00 mm 100.000 %\n";
    const QByteArray other = "beta/A4=across +3.00 mm 100.000 %, down 0.00 mm 100.000 %\n";
    const struct {
        QByteArray text;
        const char* lines;
    } cases[] = {
        {"[CALIBRATION]\n" + first + other + second, "2 lines (2 and 4)"},
        // A second section of the name, which the reader of settings passes over.
        {"[CALIBRATION]\n" + first + "[PRINT]\nPaper=A4\n[Calibration]\n" + second,
         "2 lines (2 and 6)"},
        // Below a broken header.
        {"[CALIBRATION]\n" + first + second + "[PRINT]\n[CALIBRATION\n" + first,
         "3 lines (2, 3 and 6)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        writeRaw(c.text);
        const cover::StoredCalibration read = store.read("beta", cover::Paper::Letter);
        EXPECT_FALSE(read.calibration.has_value());
        EXPECT_EQ(read.problem.toStdString(),
                  QStringLiteral("The calibration of printer beta on Letter paper in %1 is given "
                                 "on %2, and VEXA cannot tell which is meant. The printer prints "
                                 "without a calibration until one of them is taken out, or the "
                                 "printer is calibrated again.")
                      .arg(path, QLatin1String(c.lines))
                      .toStdString());
        EXPECT_TRUE(store.read("beta", cover::Paper::A4).calibration.has_value() ||
                    !c.text.contains(other));
    }
}

TEST_F(CalibrationStoreTest, StoringReplacesEveryLineOfThePrinterAndPaper) {
    const QByteArray first = "beta/Letter=across +1.00 mm 100.000 %, down 0.00 mm 100.000 %\n";
    const QByteArray other = "beta/A4=across +3.00 mm 100.000 %, down 0.00 mm 100.000 %\n";
    const QByteArray stored = "beta/Letter=across -0.50 mm 100.000 %, down +0.50 mm 100.000 %\n";
    writeRaw("; mine\n[CALIBRATION]\n" + first + other + first + "[PRINT]\nPaper=A4\n" +
             "[CALIBRATION]\r\n" + first + "[CALIBRATION\n" + first);
    ASSERT_TRUE(store.write("beta", cover::Paper::Letter, {-0.5, 0.5, 1, 1}));
    // The first line is written where it stands; every other line and byte stays.
    EXPECT_EQ(readRaw().toStdString(), ("; mine\n[CALIBRATION]\n" + stored + other +
                                        "[PRINT]\nPaper=A4\n[CALIBRATION]\r\n[CALIBRATION\n")
                                           .toStdString());
    const cover::StoredCalibration read = store.read("beta", cover::Paper::Letter);
    EXPECT_EQ(read.calibration, (cover::PrinterCalibration{-0.5, 0.5, 1, 1}));
    EXPECT_TRUE(read.problem.isEmpty()) << read.problem.toStdString();

    // Reset takes out every line, here the one left and another typed twice since.
    writeRaw(readRaw() + first);
    ASSERT_TRUE(store.remove("beta", cover::Paper::Letter));
    EXPECT_EQ(readRaw().toStdString(), ("; mine\n[CALIBRATION]\n" + other +
                                        "[PRINT]\nPaper=A4\n[CALIBRATION]\r\n[CALIBRATION\n")
                                           .toStdString());
}

TEST_F(CalibrationStoreTest, ARefusedCalibrationLeavesTheStoredOneAsItWas) {
    ASSERT_TRUE(store.write("alpha", cover::Paper::Letter, {1.0, 1.0, 1.0, 1.0}));
    const QByteArray before = readRaw();
    EXPECT_FALSE(store.write("alpha", cover::Paper::Letter, {10.5, 0, 1, 1}));
    EXPECT_FALSE(store.write("alpha", cover::Paper::Letter, {0, 0, 1.06, 1}));
    EXPECT_EQ(readRaw(), before);
}

} // namespace
