#!/usr/bin/env bash
# Two files named at start open as two tabs; typing into the active one and Ctrl+S writes
# exactly the typed bytes, and the other file stays as it was.
source "$(dirname "$0")/lib.sh"
start_private_display
printf 'one\n' >"$E2E_TMP/a.txt"
printf 'two\n' >"$E2E_TMP/b.txt"
start_editor "$E2E_TMP/a.txt" "$E2E_TMP/b.txt"
win=$(wait_window 'b\.txt')
activate "$win"
xdotool type --delay 40 'hello '
wait_window 'b\.txt \*' >/dev/null  # the caption marks the typed change
xdotool key ctrl+s
for _ in $(seq 50); do [ "$(cat "$E2E_TMP/b.txt")" = "hello two" ] && break; sleep 0.1; done
screenshot "$E2E_TMP/saved.png"
[ "$(od -An -c "$E2E_TMP/b.txt" | tr -s ' ')" = "$(printf 'hello two\n' | od -An -c | tr -s ' ')" ] \
  || fail "b.txt holds '$(od -An -c "$E2E_TMP/b.txt")'"
[ "$(cat "$E2E_TMP/a.txt")" = "one" ] || fail "a.txt changed"
xdotool key alt+F4
wait_exit || fail "the editor exited with an error"
echo "typed text saved byte for byte"
