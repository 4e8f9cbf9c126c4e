#!/usr/bin/env bash
# Closing the program with a modified document asks first; Cancel keeps it running with the
# document open and the file untouched.
source "$(dirname "$0")/lib.sh"
start_private_display
printf 'kept\n' >"$E2E_TMP/a.txt"
start_editor "$E2E_TMP/a.txt"
win=$(wait_window 'a\.txt')
activate "$win"
xdotool type --delay 40 'x'
sleep 0.3
xdotool key alt+F4
question=""
for _ in $(seq 50); do
  question=$(xdotool search --onlyvisible --class quirvane 2>/dev/null | while read -r w; do
    [ "$w" != "$win" ] && { echo "$w"; break; }; done || true)
  [ -n "$question" ] && break
  sleep 0.1
done
[ -n "$question" ] || fail "no question was asked"
screenshot "$E2E_TMP/question.png"
xdotool windowfocus --sync "$question" 2>/dev/null || true
xdotool key Escape
sleep 1
kill -0 "$QV_PID" 2>/dev/null || fail "the program ended after Cancel"
[ "$(cat "$E2E_TMP/a.txt")" = "kept" ] || fail "the file changed"
wait_window 'a\.txt' >/dev/null
kill "$QV_PID"
echo "shut-down asked and Cancel kept the program running"
