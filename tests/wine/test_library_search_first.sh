#!/usr/bin/env bash
# Both programs restrict the library search to the system folder before any library is loaded by
# name on their behalf: copies in a downloads folder (where anyone may leave a DLL) run with Wine's
# loader traced, and no library load of their process, from its first instruction on, searches
# that folder. Before the program's first instruction only the libraries it imports load.
source "$(dirname "$0")/lib.sh"
new_prefix
downloads="$(c_drive Downloads)"
mkdir -p "$downloads"
cp "$SETUP" "$WIN_BUILD_DIR/tsd.exe" "$downloads/"
# Only the calls that tell the story: the restriction and every load by name.
wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /t REG_SZ \
    /d 'SetDefaultDllDirectories;SetDllDirectoryW;LdrLoadDll' /f >/dev/null 2>&1
wineserver -w

# check_program LABEL EXPECTED_CODE PROGRAM ARGS...: runs it traced, then reads its process's trace.
check_program() {
    local label="$1" code="$2"
    shift 2
    WINEDEBUG=+relay,+loaddll run_wine_headless 120 "$@"
    expect_code "$code" "$label, traced"
    local trace="$TEST_DIR/$label.trace"
    cp "$TEST_DIR/err.txt" "$trace"
    # The program's process: the thread that loaded the program.
    local thread
    thread="$(grep -m1 -i 'Loaded L"C:\\\\Downloads\\\\'"${1##*\\}"'"' "$trace" | cut -d: -f1)"
    [ -n "$thread" ] || fail "$label: no trace of the program's start"
    grep "^$thread:" "$trace" >"$trace.own"
    # From the program's entry point on.
    awk '/Starting thread proc/ { on = 1 } on' "$trace.own" >"$trace.entry"
    [ -s "$trace.entry" ] || fail "$label: no trace from its entry point"
    grep -q 'SetDefaultDllDirectories(00000800)' "$trace.entry" ||
        fail "$label: the search is never restricted to the system folder"
    local searched
    searched="$(grep 'Call ntdll.LdrLoadDll(' "$trace.entry" | grep -i 'C:\\\\Downloads' | head -3)"
    [ -z "$searched" ] || fail "$label: a library was looked for in the program's folder:
$searched"
    echo "ok: $label: restricted first; $(grep -c 'Call ntdll.LdrLoadDll(' "$trace.entry") later loads, none from its folder"
}

check_program setup 0 'C:\Downloads\tessaron-setup.exe' -S
# As the removal's copy runs in the temporary folder (this copy is not installed: refused, 1).
check_program standin 1 'C:\Downloads\tsd.exe' -ui /S
