#!/usr/bin/env bash
# The program opens its main window titled "Quirvane" and closes cleanly.
source "$(dirname "$0")/lib.sh"
start_private_display
start_editor
win=$(wait_window '^Quirvane')
[ "$(xdotool getwindowname "$win")" = "Quirvane" ] || fail "title is '$(xdotool getwindowname "$win")'"
activate "$win"
xdotool key alt+F4
wait_exit || fail "the editor exited with an error"
echo "main window opened and closed"
