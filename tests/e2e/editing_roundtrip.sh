#!/usr/bin/env bash
# Sorting, commenting, reformatting and bookmarks in a C file and a text file survive a save,
# the end of the program and a second start: the bytes are exact, and the caret and the
# bookmarks come back where they were (checked by typing markers at them).
source "$(dirname "$0")/lib.sh"
start_private_display
c="$E2E_TMP/prog.c"
t="$E2E_TMP/notes.txt"
printf 'zeta();\nalpha();\nmid();\nreturn 0;\n' >"$c"
printf 'one two\nthree four\nfive\n\nend\n' >"$t"

# First run: the text file first, then the C file, which ends up in front.
start_editor "$t" "$c"
win=$(wait_window 'prog\.c')
activate "$win"
# Lines 1-3 selected whole and sorted.
xdotool key ctrl+Home shift+Down shift+Down shift+Down shift+F2
wait_window 'prog\.c \*' >/dev/null
# The caret line commented, bookmark 2 on it; bookmark 1 on line 2; the caret left at 3,3.
xdotool key ctrl+Home Down Down Down ctrl+shift+c
xdotool key ctrl+shift+2 ctrl+Home Down ctrl+shift+1 Down Right Right
xdotool key ctrl+s
wait_file_bytes "$c" 'alpha();\nmid();\nzeta();\n// return 0;\n' || fail "prog.c after editing: $(od -c "$c")"

# The text file: its first paragraph reformatted, bookmark 3 on the line after it.
xdotool key ctrl+Tab
wait_window 'notes\.txt' >/dev/null
xdotool key ctrl+Home ctrl+b
wait_window 'notes\.txt \*' >/dev/null
xdotool key ctrl+Home Down Down ctrl+shift+3 ctrl+s
wait_file_bytes "$t" 'one two three four five\n\nend\n' || fail "notes.txt after editing: $(od -c "$t")"
screenshot "$E2E_TMP/first_run.png"
keep_shot "$E2E_TMP/first_run.png" roundtrip_first_run.png
xdotool key alt+F4
wait_exit || fail "the first run exited with an error"

hist="$XDG_CONFIG_HOME/quirvane/QuirvanePos.ini"
[ -f "$hist" ] || fail "no position history was written"
# Top line, caret column and line, then the bookmarks (number:column,line); the comment
# moved the caret past "// " before bookmark 2 was set.
grep -qxF "\"$c\"|1,3,3|(1:1,2);(2:4,4);||0" "$hist" || fail "prog.c's record is wrong in: $(cat "$hist")"
grep -qxF "\"$t\"|1,1,3|(3:1,3);||0" "$hist" || fail "notes.txt's record is wrong in: $(cat "$hist")"

# Second run with the same folders: markers typed at the caret and at each bookmark.
start_editor "$t" "$c"
win=$(wait_window 'prog\.c')
activate "$win"
xdotool type --delay 40 'C'
wait_window 'prog\.c \*' >/dev/null
xdotool key ctrl+1
xdotool type --delay 40 'A'
xdotool key ctrl+2
xdotool type --delay 40 'B'
xdotool key ctrl+s
wait_file_bytes "$c" 'alpha();\nAmid();\nzeCta();\n// Breturn 0;\n' \
  || fail "caret or bookmarks of prog.c did not come back: $(od -c "$c")"

xdotool key ctrl+Tab
wait_window 'notes\.txt' >/dev/null
xdotool key ctrl+3
xdotool type --delay 40 'E'
wait_window 'notes\.txt \*' >/dev/null
xdotool key ctrl+s
wait_file_bytes "$t" 'one two three four five\n\nEend\n' || fail "bookmark of notes.txt did not come back: $(od -c "$t")"
xdotool key alt+F4
wait_exit || fail "the second run exited with an error"
echo "sort, comment, reformat saved exactly; caret and bookmarks came back after a restart"
