#!/usr/bin/env bash
# The program opens its main window titled "Quirvane" and closes cleanly.
source "$(dirname "$0")/lib.sh"
start_private_display
start_editor
win=$(wait_window '^Quirvane')
[ "$(xdotool getwindowname "$win")" = "Quirvane" ] || fail "title is '$(xdotool getwindowname "$win")'"
# Under load the first key can arrive before the window manager has given the window focus:
# ask again until the program ends.
for _ in 1 2 3 4 5; do
  activate "$win"
  xdotool key alt+F4
  for _ in $(seq 30); do kill -0 "$QV_PID" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$QV_PID" 2>/dev/null || break
done
wait_exit || fail "the editor exited with an error"
echo "main window opened and closed"
