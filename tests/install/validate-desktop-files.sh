#!/usr/bin/env bash
# Checks the desktop entry, the AppStream metainfo and the man pages with the tools
# distributions check them with. A warning fails as an error does (desktop-file-validate's
# "hint" lines are suggestions and pass). Exits 77 (skipped) when a tool is missing.
set -uo pipefail
folder=${1:?usage: validate-desktop-files.sh PACKAGING_FOLDER}

for tool in desktop-file-validate appstreamcli groff; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed"; exit 77; }
done

failed=0
out=$(desktop-file-validate "$folder/vexa.desktop" 2>&1) || failed=1
echo "$out"
if grep -Eq ': (error|warning):' <<<"$out"; then failed=1; fi

out=$(appstreamcli validate --no-net "$folder"/*.metainfo.xml 2>&1) || failed=1
echo "$out"
if grep -Eq '^(E|W): ' <<<"$out"; then failed=1; fi

for page in vexa.1 vexa-cli.1; do
    out=$(groff -man -ww -z "$folder/$page" 2>&1) || failed=1
    echo "$out"
    if [ -n "$out" ]; then failed=1; fi
done

exit $failed
