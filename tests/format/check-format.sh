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

existing=()
for f in "${files[@]}"; do [ -f "$f" ] && existing+=("$f"); done
[ ${#existing[@]} -eq 0 ] && exit 0

# Many files per clang-format run, as many runs as there are cores: one run per file took
# minutes on a busy machine.
out=$(printf '%s\0' "${existing[@]}" |
    xargs -0 -n 40 -P "$(nproc)" clang-format --dry-run -Werror 2>&1)
status=$?
grep -oE '^[^ :]+:[0-9]+:[0-9]+: error' <<<"$out" | cut -d: -f1 | sort -u |
    sed 's/^/not formatted: /'
if [ $status -ne 0 ]; then
    grep -qE ': error' <<<"$out" || echo "$out"
    exit 1
fi
exit 0
