#pragma once

namespace vexa::print {
class PrintDialog;
}

namespace vexa::test {

// Lets the event loop run until the print window has no print run or export going, so that
// what its end shows (status line, buttons, prompts) is there. False when one still runs
// after `timeoutMs`.
bool waitUntilPrintDialogIdle(print::PrintDialog& dialog, int timeoutMs = 120000);

} // namespace vexa::test
