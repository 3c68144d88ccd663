#pragma once

// Picture files made and read by second programs (ImageMagick's convert, cjpeg, djpeg, tiffcp,
// cwebp), and the visible-damage check of the damage tables: what a picture shows when read
// without VEXA's checks, compared with the undamaged picture.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

namespace vexa::test {

struct ProgramRun {
    int status = -1;
    QByteArray output; // the file it wrote at "{out}"
    QByteArray errors; // what it said on stderr
};

// Runs `program` with `arguments`, where "{in}" stands for a file holding `input` (named with
// `inputSuffix`, such as ".ppm") and "{out}" for the file it writes (named with
// `outputSuffix`). The calling test fails when the program cannot be started.
ProgramRun runProgram(const QString& program, const QStringList& arguments, const QByteArray& input,
                      const QString& inputSuffix, const QString& outputSuffix);

// `picture` as a binary PPM (P6), which every program here reads.
QByteArray ppmOf(const QImage& picture);

// The file `program` makes of `picture` (given to it as PPM); the calling test fails when it
// makes none.
QByteArray madeBy(const QImage& picture, const QString& program, const QStringList& arguments,
                  const QString& outputSuffix);

// What Qt's own readers show of `bytes`, with none of VEXA's checks: what a cover showed
// before them. Null when Qt reads nothing.
QImage shownWithoutChecks(const QByteArray& bytes);

// Whether `shown` is visibly not `undamaged`: another size, or more than 5 % of its pixels
// far from it (a colour channel more than 64 apart).
bool visiblyDamaged(const QImage& shown, const QImage& undamaged);

// A photo-like picture of gradients and fine waves: every part of its data matters.
QImage photoLike(int width, int height);

} // namespace vexa::test
