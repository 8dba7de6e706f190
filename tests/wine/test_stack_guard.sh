#!/usr/bin/env bash
# The stack protector of the shipped programs: every start gets a guard of its own, and a write
# past a local buffer ends the process at once with the stack-overrun status, before the function
# that overran can return into the damaged frame.
source "$(dirname "$0")/lib.sh"
new_prefix
CHECK="$WIN_BUILD_DIR/stack_guard_check.exe"

guards=()
for _ in 1 2 3; do
    run_wine 60 "$CHECK" guard
    expect_code 0 "the guard read"
    guards+=("$(tr -d '\r' <"$TEST_DIR/out.txt")")
done
for guard in "${guards[@]}"; do
    [[ "$guard" =~ ^[0-9a-f]{8}([0-9a-f]{8})?$ ]] || fail "not a guard: '$guard'"
    if [[ "$guard" =~ ^0+$ ]]; then fail "the guard is zero"; fi
done
[ "${guards[0]}" != "${guards[1]}" ] && [ "${guards[1]}" != "${guards[2]}" ] &&
    [ "${guards[0]}" != "${guards[2]}" ] || fail "the same guard in two starts: ${guards[*]}"
echo "ok: three starts, three guards: ${guards[*]}"

run_wine 60 "$CHECK" smash
expect_code 0 "the overrun run in a child"
result="$(tr -d '\r' <"$TEST_DIR/out.txt")"
if grep -q survived <<<"$result"; then fail "the overrun returned into its frame: $result"; fi
[ "$(tail -n 1 <<<"$result")" = c0000409 ] ||
    fail "the overrun ended with $(tail -n 1 <<<"$result"), not the stack-overrun status c0000409"
echo "ok: the overrun ended the process with c0000409"
