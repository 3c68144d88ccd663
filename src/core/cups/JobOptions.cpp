#include "core/cups/JobOptions.h"

#include "core/cover/PaperChoice.h"

namespace vexa::cups {

QList<JobOption> placementOptions(cover::Paper paper) {
    // A queue's own defaults (lpadmin -o NAME-default=...) and its PPD's apply to every option
    // a job leaves out, so each option that decides where, how large and how often a page
    // prints is stated.
    return {
        {"media", cover::pwgMediaName(paper)},
        // Portrait: the page already lies as the paper feeds (a landscape cover turned on it).
        {"orientation-requested", "3"},
        // The older option, which cups-filters lets win over orientation-requested.
        {"landscape", "false"},
        {"sides", "one-sided"},
        {"number-up", "1"},
        {"number-up-layout", "lrtb"},
        {"page-border", "none"},
        {"mirror", "false"},
        {"print-scaling", "none"},
        // The older names of scaling to the printable area, read by filters that know no
        // print-scaling.
        {"fit-to-page", "false"},
        {"fitplot", "false"},
        {"booklet", "off"},
        // An empty label: a queue's page-label would be printed across the cover.
        {"page-label", ""},
        {"copies", "1"},
        {"job-sheets", "none"},
        {"page-set", "all"},
        // Every page (CUPS' own spelling of "1-"): a default range would leave pages out.
        {"page-ranges", "1-2147483647"},
    };
}

} // namespace vexa::cups
