#!/usr/bin/env bash
# Prints what code this Linux host runs: "both" when a 32-bit (i386) program starts, "64" when the
# kernel refuses it (IA-32 emulation off). Wine's 32-bit loader is such a program, so this decides
# which Windows build can run under Wine here. The probe is a 93-byte static i386 program that
# exits with code 7; it needs no 32-bit library, so it answers before anything is installed.
set -u
probe_in() {
    local dir="$1" file code
    file="$(mktemp "$dir/host-code.XXXXXX" 2>/dev/null)" || return 2
    printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000T\200\004\0104\000\000\000\000\000\000\000\000\000\000\0004\000 \000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010]\000\000\000]\000\000\000\005\000\000\000\000\020\000\000\270\001\000\000\000\263\007\315\200' >"$file"
    chmod 700 "$file"
    "$file" 2>/dev/null
    code=$?
    if [ "$code" -ne 7 ]; then
        # A folder mounted noexec refuses every program: that says nothing about i386.
        cp /bin/true "$file" && "$file" 2>/dev/null || code=2
    fi
    rm -f "$file"
    [ "$code" -eq 7 ] && return 0
    [ "$code" -eq 2 ] && return 2
    return 1
}
for dir in "${TMPDIR:-/tmp}" "$(dirname "$0")"; do
    probe_in "$dir"
    case $? in
        0) echo both; exit 0 ;;
        1) echo 64; exit 0 ;;
    esac
done
echo "host-code.sh: no folder here lets a program start" >&2
echo 64
