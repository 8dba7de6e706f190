# Sourced with WINE_BUILD set to what runs under Wine: x86 (32-bit programs, 32-bit prefixes), x64
# (64-bit programs, 64-bit prefixes) or wow64 (32-bit programs in 64-bit prefixes, as 64-bit
# Windows runs them). Exports WINEARCH for new prefixes; for x64 puts tools/wine64/ first on the
# PATH, whose wine, wineboot and winepath call Wine's 64-bit loader directly: Debian's wine picks an
# installed wine32 first, and a host that runs 64-bit code only cannot start it. WINE_NEEDS_I386
# tells whether the build needs 32-bit code on the host.
case "${WINE_BUILD:-x86}" in
    x86) export WINEARCH=win32; WINE_NEEDS_I386=1 ;;
    wow64) export WINEARCH=win64; WINE_NEEDS_I386=1 ;;
    x64)
        export WINEARCH=win64
        WINE_NEEDS_I386=0
        PATH="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine64:$PATH"
        export PATH
        ;;
    *) echo "unknown WINE_BUILD ${WINE_BUILD}" >&2; return 2 ;;
esac
