#!/bin/sh
# Copies a payload and overwrites eight bytes in the middle of its deflate data, so that inflation
# fails (a data error or a wrong check value). Used only to build the damaged test program.
set -e
cp "$1" "$2"
size=$(wc -c < "$2")
printf '\377\000\377\000\377\000\377\000' | dd of="$2" bs=1 seek=$((size / 2)) conv=notrunc status=none
