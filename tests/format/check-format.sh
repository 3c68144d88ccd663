#!/usr/bin/env bash
# Fails on every C++ file of the tree that Debian's clang-format 14 would change, and names
# it; `clang-format -i FILE` puts it right. Only files git knows are checked, so a build folder
# or a scratch file never counts.
set -uo pipefail
root=${1:?usage: check-format.sh SOURCE_FOLDER}
cd "$root"

version=$(clang-format --version 2>/dev/null | grep -o 'version [0-9]*' | cut -d' ' -f2)
if [ "$version" != 14 ]; then
    echo "clang-format 14 is needed (scripts/setup installs it); found: ${version:-none}"
    exit 1
fi

# Outside a git checkout (an unpacked source archive) every source file counts.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t files < <(git ls-files '*.cpp' '*.h')
else
    mapfile -t files < <(find src tests bench fuzz -name '*.cpp' -o -name '*.h')
fi

failed=0
for f in "${files[@]}"; do
    [ -f "$f" ] || continue
    if ! clang-format --dry-run -Werror "$f" >/dev/null 2>&1; then
        echo "not formatted: $f"
        failed=1
    fi
done
exit $failed
