#!/usr/bin/env bash
# The line at the end of make test: which builds ran under Wine, and why.
#   tools/wine-builds.sh HOST_CODE "WINE_BUILDS"
host="$1"
builds=" $2 "
ran=()
[[ "$builds" == *" x86 "* ]] && ran+=("the 32-bit programs in 32-bit prefixes")
[[ "$builds" == *" x64 "* ]] && ran+=("the 64-bit programs in 64-bit prefixes")
if [[ "$builds" == *" wow64 "* ]]; then
    if [ "$host" = both ]; then
        ran+=("the 32-bit setup in 64-bit prefixes (WOW64)")
    else
        skipped="; the WOW64 tests (wow64.*) were not run"
    fi
fi
list=""
for i in "${!ran[@]}"; do
    if [ "$i" -eq 0 ]; then list="${ran[$i]}"
    elif [ "$i" -eq $((${#ran[@]} - 1)) ]; then list="$list and ${ran[$i]}"
    else list="$list, ${ran[$i]}"; fi
done
if [ "$host" = both ]; then
    why="this host runs 32-bit code (WINE_BUILDS=\"$2\")"
else
    why="this host runs 64-bit code only, where Wine's 32-bit loader cannot start (WINE_BUILDS=\"$2\")"
fi
echo "Wine ran ${list:-nothing}${skipped:-}: $why."
