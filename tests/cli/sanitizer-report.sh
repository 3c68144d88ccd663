#!/usr/bin/env bash
# The probe overflows a heap block inside a quiet stretch of standard error; the report must be
# on standard error, the chatter of the quiet stretch must not.
set -uo pipefail
probe=${1:?usage: sanitizer-report.sh PROBE}
err=$("$probe" 2>&1 >/dev/null)
status=$?
[ $status -ne 0 ] || { echo "the probe did not fail"; exit 1; }
grep -q "heap-buffer-overflow" <<<"$err" || { echo "no sanitizer report on stderr:"; echo "$err"; exit 1; }
grep -q "library chatter" <<<"$err" && { echo "the quiet stretch was not quiet"; exit 1; }
grep -q "before" <<<"$err" || { echo "stderr was lost before the quiet stretch"; exit 1; }
exit 0
