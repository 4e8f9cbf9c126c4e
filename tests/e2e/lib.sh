# Shared steps for end-to-end tests: a private Xvfb display with openbox, private folders,
# and helpers to find the editor's window and drive it with xdotool.
set -euo pipefail
QV_BIN="$1"
E2E_TMP="$(mktemp -d /tmp/qv-e2e-XXXXXX)"
export QUIRVANE_HOME="$E2E_TMP/home" XDG_CONFIG_HOME="$E2E_TMP/config" XDG_DATA_HOME="$E2E_TMP/data"
export XDG_CACHE_HOME="$E2E_TMP/cache" XDG_RUNTIME_DIR="$E2E_TMP/runtime"
mkdir -p "$QUIRVANE_HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM

e2e_pids=()
e2e_cleanup() {
  for p in "${e2e_pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  [ -n "${QV_KEEP_E2E:-}" ] || rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# Starts Xvfb on a free display number and a window manager on it.
start_display() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x900x24 -nolisten tcp >"$E2E_TMP/xvfb.log" 2>&1 &
    e2e_pids+=($!)
    export DISPLAY=":$n"
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    xdpyinfo >/dev/null 2>&1 || fail "Xvfb did not start"
    openbox >"$E2E_TMP/openbox.log" 2>&1 &
    e2e_pids+=($!)
    sleep 0.5
    return 0
  done
  fail "no free display"
}

# Starts the editor with the given arguments; QV_PID holds its process.
start_editor() {
  "$QV_BIN" "$@" >"$E2E_TMP/editor.log" 2>&1 &
  QV_PID=$!
  e2e_pids+=($QV_PID)
}

# Waits for a visible window whose title matches $1; prints its id.
wait_window() {
  local id=""
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --class quirvane 2>/dev/null | while read -r w; do
      [[ "$(xdotool getwindowname "$w" 2>/dev/null)" =~ $1 ]] && { echo "$w"; break; }; done || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  fail "no window titled '$1'"
}

# Waits up to 10 s for the editor process to end; fails if it does not.
wait_exit() {
  for _ in $(seq 100); do kill -0 "$QV_PID" 2>/dev/null || { wait "$QV_PID"; return $?; }; sleep 0.1; done
  fail "the editor did not exit"
}

# Gives the window the keyboard focus (through the window manager).
activate() { xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1"; sleep 0.2; }

screenshot() { import -window root "$1"; }

# Like start_display, but Xvfb picks a free display number itself, so runs that start at the
# same moment never race for one.
start_private_display() {
  Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp 3>"$E2E_TMP/display.num" >"$E2E_TMP/xvfb.log" 2>&1 &
  e2e_pids+=($!)
  for _ in $(seq 100); do grep -q '[0-9]' "$E2E_TMP/display.num" 2>/dev/null && break; sleep 0.1; done
  grep -q '[0-9]' "$E2E_TMP/display.num" 2>/dev/null || fail "Xvfb did not start: $(cat "$E2E_TMP/xvfb.log")"
  export DISPLAY=":$(tr -dc '0-9' <"$E2E_TMP/display.num")"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  xdpyinfo >/dev/null 2>&1 || fail "display $DISPLAY does not answer"
  openbox >"$E2E_TMP/openbox.log" 2>&1 &
  e2e_pids+=($!)
  sleep 0.5
}

# Waits up to 5 s for file $1 to hold exactly the bytes of printf format $2; false if it never does.
wait_file_bytes() {
  local want="$E2E_TMP/want.bin"
  printf "$2" >"$want"
  for _ in $(seq 50); do cmp -s "$1" "$want" && return 0; sleep 0.1; done
  return 1
}

# Gives openbox a configuration without its Alt+drag window move, so Alt+drag reaches the
# program; Alt+F4 still closes. Call before start_private_display.
use_wm_without_alt_drag() {
  mkdir -p "$XDG_CONFIG_HOME/openbox"
  cat >"$XDG_CONFIG_HOME/openbox/rc.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <keyboard><keybind key="A-F4"><action name="Close"/></keybind></keyboard>
  <mouse><context name="Client">
    <mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
  </context></mouse>
</openbox_config>
XML
}

# Saves screenshot $1 into $QV_E2E_SHOTS under name $2 when that folder is given.
keep_shot() { [ -z "${QV_E2E_SHOTS:-}" ] || cp "$1" "$QV_E2E_SHOTS/$2"; }
