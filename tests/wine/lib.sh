# Shared by the Wine tests: one template prefix per test run, a fresh copy of it per test, runs
# with a time limit (nothing may hang CI, not even a message box that nobody answers), and Xvfb
# for the tests that need a display. Source it; it sets -eu and cleans up on exit.
#
# Environment (set by CTest): WINE_WORK (work folder), WIN_BUILD_DIR (Windows build), SRC_DIR,
# WINE_BUILD (x86, x64 or wow64: what runs in which prefix, tools/wine-env.sh) and HOST_CODE
# (both, or 64 where no 32-bit program starts).
set -eu

: "${WINE_WORK:?}" "${WIN_BUILD_DIR:?}" "${SRC_DIR:?}"
source "$SRC_DIR/tools/wine-env.sh"
# A test of 32-bit programs on a host that cannot start them is not run, and says so to CTest.
if [ "$WINE_NEEDS_I386" = 1 ] && [ "${HOST_CODE:-both}" != both ]; then
    echo "SKIP: $(basename "$0") runs 32-bit programs under Wine; this host runs 64-bit code only"
    exit 77
fi
# The program files folder that the programs under test see: a 32-bit program on 64-bit Windows
# sees "C:\Program Files (x86)".
if [ "$WINE_BUILD" = wow64 ]; then PROGRAM_FILES="Program Files (x86)"; else PROGRAM_FILES="Program Files"; fi
# The architecture of the programs under test, as the package manifests name it.
if [ "$WINE_BUILD" = x64 ]; then WIN_ARCH=x64; else WIN_ARCH=x86; fi
SETUP="$WIN_BUILD_DIR/tessaron-setup.exe"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
TEMPLATE="$WINE_WORK/template"
TEST_NAME="$(basename "$0" .sh)"
TEST_DIR="$WINE_WORK/runs/$TEST_NAME"
XVFB_PID=""

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# cleanup [STATUS]: ends the prefix's processes and Xvfb. A passed test's prefix goes (a 64-bit one
# takes over a gigabyte, and every test has one); a failed one stays to be looked at.
cleanup() {
    local status="${1:-$?}"
    if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
        wineserver -k >/dev/null 2>&1 || true
        wineserver -w >/dev/null 2>&1 || true
        if [ "$status" -eq 0 ] && [ "$WINEPREFIX" = "$TEST_DIR/prefix" ]; then rm -rf "$WINEPREFIX" 2>/dev/null || true; fi
    fi
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
    fi
}
trap cleanup EXIT

# A fresh copy of the template prefix for this test; sets WINEPREFIX.
new_prefix() {
    [ -f "$TEMPLATE/.booted" ] || fail "no template prefix (run wine.boot_template first)"
    rm -rf "$TEST_DIR"
    mkdir -p "$TEST_DIR"
    cp -a "$TEMPLATE" "$TEST_DIR/prefix"
    sync
    export WINEPREFIX="$TEST_DIR/prefix"
    # Start this prefix's server alone first: two processes creating it at once can race.
    timeout 60 wine cmd.exe /c exit >/dev/null 2>"$TEST_DIR/first-start.txt" </dev/null || true
}

# run_wine SECONDS PROGRAM [ARGS...]: runs it in the prefix, output in $TEST_DIR/out.txt and
# err.txt, exit code in RUN_CODE. A run that does not end in time is killed and fails the test.
run_wine() {
    local limit="$1"
    shift
    set +e
    timeout --kill-after=5 "$limit" wine "$@" >"$TEST_DIR/out.txt" 2>"$TEST_DIR/err.txt" </dev/null
    RUN_CODE=$?
    set -e
    if [ "$RUN_CODE" -eq 124 ] || [ "$RUN_CODE" -eq 137 ]; then
        wineserver -k >/dev/null 2>&1 || true
        fail "$* did not end within $limit s (waiting for something nobody answers?)"
    fi
}

# The same run with no display at all, as an unattended deployment runs it.
run_wine_headless() {
    local saved="${DISPLAY:-}"
    unset DISPLAY
    run_wine "$@"
    [ -n "$saved" ] && export DISPLAY="$saved"
    return 0
}

# Starts Xvfb on a free display (XVFB_SCREEN pixels, 1024x768 unless set) and exports DISPLAY;
# stopped on exit by its process id.
start_xvfb() {
    local n=90
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 "${XVFB_SCREEN:-1024x768}x24" -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 50); do
        [ -e "/tmp/.X11-unix/X$n" ] && break
        sleep 0.1
    done
    [ -e "/tmp/.X11-unix/X$n" ] || fail "Xvfb did not start"
    export DISPLAY=":$n"
}

# A path inside the prefix's C: drive.
c_drive() { echo "$WINEPREFIX/drive_c/$1"; }

# snapshot NAME: what the machine holds, every name on C: and every registry key, in
# $TEST_DIR/files-NAME.txt and keys-NAME.txt (the registry files are written when the wineserver
# ends).
snapshot() {
    timeout 60 wineserver -w || fail "the wineserver did not end"
    (cd "$(c_drive '')" && find . | LC_ALL=C sort) >"$TEST_DIR/files-$1.txt"
    sed -n 's/^\(\[.*\]\) [0-9]*$/\1/p' "$WINEPREFIX/user.reg" "$WINEPREFIX/system.reg" |
        LC_ALL=C sort >"$TEST_DIR/keys-$1.txt"
}

# wait_for_removal PATH: after "tsd.exe -ui", waits (30 s at most) until the copy that finishes
# in the temporary folder once the program has ended has removed PATH and gone itself.
wait_for_removal() {
    local temp
    temp="$(c_drive users/root/Temp)"
    for _ in $(seq 150); do
        [ -e "$1" ] || [ -n "$(ls "$temp" | grep '^~tsd-remove-')" ] || break
        sleep 0.2
    done
}

expect_code() {
    [ "$RUN_CODE" -eq "$1" ] || fail "exit code $RUN_CODE, expected $1 ($2)"
    echo "ok: $2 (exit code $RUN_CODE)"
}

# ---- Driving windows (wizard_driver.exe) ----
# Xvfb has no window manager, so windows get no frames there; a Wine virtual desktop draws them,
# but only for a named desktop whose size is stored in the registry. The driver must run in the
# same desktop as the program it drives, and under "wine explorer /desktop" its own exit code is
# lost: it writes the program's exit code and its verdict into a result file instead.
DESKTOP_NAME=tessaron
DESKTOP_SIZE=800x600

# Stores the virtual desktop's size in the current prefix (call after new_prefix).
enable_desktop_frames() {
    timeout 60 wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v "$DESKTOP_NAME" \
        /d "$DESKTOP_SIZE" /f >/dev/null 2>>"$TEST_DIR/err.txt" </dev/null ||
        fail "cannot store the virtual desktop's size"
}

# run_driver SECONDS SCRIPT PROGRAM [ARGS...]: runs the driver's script against the program
# inside the virtual desktop. The driver's log is $TEST_DIR/driver-log.txt; a failure of the
# driver fails the test; RUN_CODE becomes the program's exit code.
run_driver() {
    local limit="$1" script="$2"
    shift 2
    local result="$TEST_DIR/driver-result.txt" log="$TEST_DIR/driver-log.txt"
    rm -f "$result" "$log"
    set +e
    timeout --kill-after=5 "$limit" wine explorer "/desktop=$DESKTOP_NAME,$DESKTOP_SIZE" \
        "$(winepath -w "$WIN_BUILD_DIR/wizard_driver.exe" 2>/dev/null)" \
        --script "$script" --result "$result" --log "$log" --limit $((limit - 15)) -- "$@" \
        >"$TEST_DIR/out.txt" 2>"$TEST_DIR/err.txt" </dev/null
    local code=$?
    set -e
    if [ "$code" -eq 124 ] || [ "$code" -eq 137 ]; then
        wineserver -k >/dev/null 2>&1 || true
        [ -f "$log" ] && cat "$log" >&2
        fail "the driver did not end within $limit s"
    fi
    [ -f "$log" ] && cat "$log"
    [ -f "$result" ] || fail "the driver wrote no result (did it start? see $TEST_DIR/err.txt)"
    grep -q '^result=OK$' "$result" || fail "driver: $(sed -n 's/^result=//p' "$result")"
    RUN_CODE="$(sed -n 's/^exit_code=//p' "$result")"
    [ -n "$RUN_CODE" ] || fail "the driver did not see the program end"
}

# A PNG that is not blank: more than a handful of colours and more than one shade.
check_not_blank() {
    local png="$1" colours
    [ -s "$png" ] || fail "no picture $png"
    colours="$(identify -format '%k' "$png" 2>/dev/null)" || fail "cannot read $png"
    [ "${colours:-0}" -ge 8 ] || fail "$png looks blank ($colours colours)"
}

# Wine draws Chinese text only when the font it chose for a face links to a font that has the
# glyphs: link the usual faces to WenQuanYi Micro Hei when it is installed (fonts-wqy-microhei).
# A face that has a bold file of its own (Tahoma, Liberation Sans) is linked by that name too.
cjk_font_fallback() {
    fc-list 2>/dev/null | grep -q 'wqy-microhei.ttc' || return 0
    local face
    for face in "DejaVu Sans" "Tahoma" "Tahoma Bold" "Arial" "Liberation Sans" "Liberation Sans Bold" \
        "MS Shell Dlg" "Microsoft Sans Serif"; do
        timeout 60 wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
            /v "$face" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f \
            >/dev/null 2>>"$TEST_DIR/err.txt" </dev/null || fail "cannot link the fonts"
    done
}
