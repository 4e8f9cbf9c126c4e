#!/usr/bin/env bash
# With MultipleInstances set in the running program, a second start runs as a program of its own
# with its own window instead of handing over.
source "$(dirname "$0")/lib.sh"
start_private_display
cat >"$E2E_TMP/multi.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Quirvane\Quirvane\General]
"MultipleInstances"=dword:00000001
REG
"$QV_BIN" --import-settings "$E2E_TMP/multi.reg" || fail "import failed"
printf 'first\n' >"$E2E_TMP/a.txt"
printf 'second\n' >"$E2E_TMP/b.txt"
start_editor "$E2E_TMP/a.txt"
first_pid=$QV_PID
wait_window 'a\.txt' >/dev/null
start_editor "$E2E_TMP/b.txt"
wait_window 'b\.txt' >/dev/null
kill -0 "$QV_PID" 2>/dev/null || fail "the second start did not keep running"
kill -0 "$first_pid" 2>/dev/null || fail "the first program ended"
wait_window 'a\.txt' >/dev/null  # the first still shows its own document
screenshot "$E2E_TMP/two.png"
kill "$QV_PID" "$first_pid"
echo "a second program ran beside the first"
