#!/usr/bin/env bash
# What the editor view shows and does, on the real screen: C++ keywords and comments painted in
# their colours (counted in screenshots against the same text as plain text), a column
# selection made with Alt+drag copied and pasted as a column, and a file with a zero byte and
# bytes that are not UTF-8 edited at its end and saved with every other byte kept.
source "$(dirname "$0")/lib.sh"
use_wm_without_alt_drag
start_private_display

# The text's first cell. The blue keywords of line 2 of the C++ screenshot locate it, so the
# heights of menus, tool bar, tab row and ruler need not be known; cells are 8 x 15 pixels in
# the default font. Sets ox, oy (screen) and relx, rely (from the window's origin).
text_origin_from_keywords() {
  local box w h x y
  box=$(convert "$1" -fill black +opaque '#0000FF' -format '%@' info:)
  [[ "$box" =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || fail "no blue keywords on screen"
  w=${BASH_REMATCH[1]} h=${BASH_REMATCH[2]} x=${BASH_REMATCH[3]} y=${BASH_REMATCH[4]}
  cw=8 lh=15
  # The first glyph "i" starts about two pixels into its cell; ascenders about two below the row top.
  ox=$((x - 2)) oy=$((y - 2 - lh))
  eval "$(xdotool getwindowgeometry --shell "$2")"
  relx=$((ox - X)) rely=$((oy - Y))
}
# The same origin in another window of the same layout.
text_origin() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  ox=$((X + relx)) oy=$((Y + rely))
}
# The darkest grey level (0-255) in the cells of a text line of a screenshot.
darkest_in_line() {
  convert "$1" -crop "$((30 * cw))x${lh}+${ox}+$((oy + ($2 - 1) * lh))" +repage -colorspace Gray \
    -format '%[fx:round(255*minima)]' info:
}
# Pixels of exactly colour $3 in the cells of text line $2.
colour_in_line() {
  convert "$1" -crop "$((30 * cw))x${lh}+${ox}+$((oy + ($2 - 1) * lh))" +repage \
    -fill black +opaque "$3" -fill white -opaque "$3" -format '%[fx:round(mean*w*h)]' info:
}

# 1. Highlighting, the same text as C++ and as plain text. Keywords are blue (#0000FF); the
# comment is gray (#808080): no pixel of it is darker, where plain text is black.
src='// |||||| |||||| |||||| ||||||\nint char while break return true\n'
printf "$src" >"$E2E_TMP/plain.txt"
printf "$src" >"$E2E_TMP/code.cpp"
start_editor "$E2E_TMP/plain.txt" "$E2E_TMP/code.cpp"
win=$(wait_window 'code\.cpp')
activate "$win"
sleep 0.3  # the first paint after activation
screenshot "$E2E_TMP/code.png"
xdotool key ctrl+Tab
wait_window 'plain\.txt' >/dev/null
sleep 0.3
screenshot "$E2E_TMP/plain.png"
keep_shot "$E2E_TMP/code.png" view_code.png
keep_shot "$E2E_TMP/plain.png" view_plain.png
text_origin_from_keywords "$E2E_TMP/code.png" "$win"
xdotool key alt+F4
wait_exit || fail "the editor exited with an error after the highlighting check"
blue=$(colour_in_line "$E2E_TMP/code.png" 2 '#0000FF')
[ "$blue" -ge 50 ] || fail "keywords are not blue: $blue pixels of #0000FF in their line"
[ "$(colour_in_line "$E2E_TMP/plain.png" 2 '#0000FF')" -eq 0 ] || fail "plain text shows keyword colour"
plain_ink=$(darkest_in_line "$E2E_TMP/plain.png" 1)
comment_ink=$(darkest_in_line "$E2E_TMP/code.png" 1)
[ "$plain_ink" -le 40 ] || fail "no black text where the first line should be (darkest $plain_ink): layout moved?"
[ "$comment_ink" -ge 100 ] && [ "$comment_ink" -le 170 ] || fail "the comment is not gray: darkest level $comment_ink"

# 2. Column selection with Alt+drag over columns 2-3 of three lines, copied and pasted at the
# end of the first line, where it goes in as a column.
f="$E2E_TMP/cols.txt"
printf 'abcd1\nefgh2\nijkl3\n\n' >"$f"
start_editor "$f"
win=$(wait_window 'cols\.txt')
activate "$win"
text_origin "$win"
xdotool mousemove $((ox + cw)) $((oy + lh / 2))
xdotool keydown alt mousedown 1
for s in 1 2 3 4; do xdotool mousemove $((ox + cw + s * 3)) $((oy + lh / 2 + s * 7)); sleep 0.05; done
xdotool mousemove $((ox + 3 * cw)) $((oy + 2 * lh + lh / 2))
sleep 0.1
xdotool mouseup 1 keyup alt
sleep 0.2
screenshot "$E2E_TMP/column.png"
keep_shot "$E2E_TMP/column.png" view_column.png
xdotool key ctrl+c ctrl+Home End ctrl+v ctrl+s
wait_file_bytes "$f" 'abcd1bc\nefgh2fg\nijkl3jk\n\n' || fail "column copy and paste gave: $(od -c "$f")"
xdotool key alt+F4
wait_exit || fail "the editor exited with an error after the column paste"

# 3. A zero byte, Latin-1 and a cut-off UTF-8 sequence: typing at the end changes only the end.
f="$E2E_TMP/mixed.dat"
printf 'first line\nabc\000def\nbad \377\376 caf\351\nlast \342\202' >"$f"
start_editor "$f"
win=$(wait_window 'mixed\.dat')
activate "$win"
xdotool key ctrl+End
xdotool type --delay 40 'Zz'
wait_window 'mixed\.dat \*' >/dev/null
screenshot "$E2E_TMP/mixed.png"
keep_shot "$E2E_TMP/mixed.png" view_mixed.png
xdotool key ctrl+s
wait_file_bytes "$f" 'first line\nabc\000def\nbad \377\376 caf\351\nlast \342\202Zz' \
  || fail "bytes other than the typed ones changed: $(od -c "$f")"
xdotool key alt+F4
wait_exit || fail "the editor exited with an error after saving the mixed file"
echo "keywords blue ($blue px), comment gray (darkest $comment_ink); Alt+drag column pasted as a column; odd bytes kept"
