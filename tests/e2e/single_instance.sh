#!/usr/bin/env bash
# A second start hands its file (named relative to its own folder) to the running program and
# ends at once; a long hand-over arrives in several chunks and opens every file it names.
source "$(dirname "$0")/lib.sh"
start_private_display
cat >"$E2E_TMP/start2.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Quirvane\Quirvane\General]
"StartAction"=dword:00000002
REG
"$QV_BIN" --import-settings "$E2E_TMP/start2.reg" || fail "import failed"
mkdir -p "$E2E_TMP/w/sub"
printf 'first\n' >"$E2E_TMP/w/a.txt"
printf 'second\n' >"$E2E_TMP/w/c.txt"
start_editor "$E2E_TMP/w/a.txt"
wait_window 'a\.txt' >/dev/null

# The relative name is taken against the second start's folder, not the first's.
(cd "$E2E_TMP/w/sub" && timeout 20 "$QV_BIN" ../c.txt) || fail "the second start did not end cleanly"
wait_window 'c\.txt' >/dev/null
kill -0 "$QV_PID" || fail "the running program ended"

# Four files with long names: more than 400 characters, so three chunks.
long=""
for i in 1 2 3 4; do
  name="$E2E_TMP/w/$(printf 'long_file_name_%s_%080d.txt' "$i" 0)"
  printf 'file %s\n' "$i" >"$name"
  long+="$name "
done
[ ${#long} -gt 400 ] || fail "the names are too short for three chunks (${#long})"
# shellcheck disable=SC2086
timeout 20 "$QV_BIN" $long || fail "the second start with long names did not end cleanly"
wait_window 'long_file_name_4' >/dev/null
screenshot "$E2E_TMP/handover.png"

# At the end the program remembers exactly the six open files (StartAction 2).
win=$(wait_window 'long_file_name_4')
activate "$win"
xdotool key alt+F4
wait_exit || fail "the editor exited with an error"
"$QV_BIN" --export-settings "$E2E_TMP/out.reg" || fail "export failed"
grep -q '"FilesCount"=dword:00000006' "$E2E_TMP/out.reg" || fail "not six files remembered: $(grep -A8 LastOpenFiles "$E2E_TMP/out.reg")"
grep -q 'long_file_name_4' "$E2E_TMP/out.reg" || fail "the last handed-over file is not remembered"
echo "hand-over opened the named files"
