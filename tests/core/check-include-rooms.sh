#!/usr/bin/env bash
# The core's rooms include only the rooms below them, never a room above, a window folder or
# widgets:
#   base      Qt Core
#   settings  base
#   picture   base
#   cover     base, settings, picture
#   project   cover and below
#   pdf       cover and below
#   cups      cover and below, never pdf
#   printing  all of core (project included)
# Also: every project header is included by its path from src/ ("core/cover/CoverKind.h"),
# one way only. Prints each include that breaks a rule and fails when there is one.
set -euo pipefail
src="${1:?the source tree}/src"
cd "$src"

declare -A allowed=(
  [base]=""
  [settings]="base"
  [picture]="base"
  [cover]="base settings picture"
  [project]="base settings picture cover"
  [pdf]="base settings picture cover"
  [cups]="base settings picture cover"
  [printing]="base settings picture cover project pdf cups"
)

status=0
for room in "${!allowed[@]}"; do
  while IFS= read -r hit; do
    file=${hit%%:*}
    target=$(sed -E 's/.*#include[[:space:]]*[<"]([^">]+)[">].*/\1/' <<<"${hit#*:}")
    case "$target" in
      core/*/*)
        other=${target#core/}; other=${other%%/*}
        if [ "$other" != "$room" ] && [[ " ${allowed[$room]} " != *" $other "* ]]; then
          echo "core/$file includes $target: $room may include ${allowed[$room]:-no other room}"
          status=1
        fi ;;
      app/*|widgets/*|print/*|editor/*|effects/*|imageio/*|notify/*|update/*|scan/*|shell/*|about/*|cli/*)
        echo "core/$file includes $target, which is outside the core"
        status=1 ;;
      Q*) # Qt: the base room only Qt Core
        if [ "$room" = base ] && ! grep -qE '^(QtCore/)?Q(Byte|String|Char|List|Map|Hash|Set|Vector|Object|Pointer|Future|Promise|Thread|Mutex|Wait|Atomic|Dir|File|Io|Save|Lock|Standard|Core|Date|Time|Elapsed|Url|Regular|Text|Debug|Logging|Variant|Meta|Shared|Scoped|Timer|Event|Process|Temporary|Locale|Command|Global|Version|Flags|Pair|Buffer|Cryptographic|Json|Loop|Runnable|Deadline|Concurrent|Semaphore|ReadWrite|Storage|Exception|Application|Any|Span|Sys|Environment|Random)' <<<"$target"; then
          echo "core/$file includes $target: the base room may include Qt Core only"
          status=1
        fi ;;
    esac
  done < <(cd core/"$room" && grep -HE '^[[:space:]]*#[[:space:]]*include' -- *.h *.cpp 2>/dev/null | sed "s|^|$room/|")
done

# One way to include a project header: by its path from src/, in quotes.
while IFS= read -r hit; do
  echo "$hit: a project header is included by its path from src/, in quotes"
  status=1
done < <(cd "$src" && grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*(<[A-Z][A-Za-z]+\.h>|"[A-Z][A-Za-z]+\.h")' --include='*.h' --include='*.cpp' . \
           ../tests ../bench ../fuzz | grep -vE '"(StallProbe|FuzzEntries)\.h"' || true)

exit $status
