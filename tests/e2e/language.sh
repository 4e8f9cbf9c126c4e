#!/usr/bin/env bash
# With German chosen in the settings, the program starts with German menus: Alt+D opens the
# "&Datei" menu and its "&Beenden" item ends the program.
source "$(dirname "$0")/lib.sh"
start_private_display
printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Quirvane\\Quirvane\\Global]\r\n"Language"="Deutsch.lng"\r\n\r\n' \
  >"$E2E_TMP/german.reg"
"$QV_BIN" --import-settings "$E2E_TMP/german.reg" >"$E2E_TMP/import.log" 2>&1 || fail "import failed: $(cat "$E2E_TMP/import.log")"

start_editor
win=$(wait_window '^Quirvane')
activate "$win"
popups() { { xdotool search --onlyvisible --class quirvane 2>/dev/null || true; } | { grep -cvx "$win" || true; }; }
before=$(popups)
xdotool key alt+d
opened=""
for _ in $(seq 30); do [ "$(popups)" -gt "$before" ] && { opened=1; break; }; sleep 0.1; done
sleep 0.3
screenshot "$E2E_TMP/datei.png"
[ -n "${QV_E2E_SHOTS:-}" ] && cp "$E2E_TMP/datei.png" "$QV_E2E_SHOTS/"
[ -n "$opened" ] || fail "Alt+D opened no menu: the menu bar is not German"
xdotool key b
wait_exit || fail "the editor exited with an error"
echo "German menus: Datei opened with Alt+D, Beenden ended the program"
