#!/bin/sh
# vexa-cli runs where there is no desktop: none of Qt's widget, print-support or D-Bus
# libraries may be among the libraries it needs at start.
set -u
program="$1"
readelf=$(command -v readelf) || { echo "readelf not found (binutils)"; exit 1; }
needed=$("$readelf" -d "$program") || { echo "readelf cannot read $program"; exit 1; }
echo "$needed" | grep -q NEEDED || { echo "no NEEDED entries in $program"; exit 1; }
found=$(echo "$needed" | grep NEEDED | grep -E 'libQt6(Widgets|PrintSupport|DBus)\.so')
if [ -n "$found" ]; then
    echo "vexa-cli needs window libraries:"
    echo "$found"
    exit 1
fi
exit 0
