#pragma once

#include "core/cover/CoverFormats.h"
#include "core/cups/PrintFailure.h"

#include <QString>

namespace vexa::cups {

// Hands a finished PDF of portrait pages, as the paper feeds, to CUPS as one job on the paper,
// to be printed as it is whatever the queue's defaults (see placementOptions): neither turned
// nor scaled, once, nothing added. The job's id, or 0 with `error` set to the reason in plain
// words (see jobFailureReason) when the server did not take it.
int submitPdfJob(const QString& printer, const QString& pdfFile, JobContent content,
                 cover::Paper paper, QString* error);

} // namespace vexa::cups
