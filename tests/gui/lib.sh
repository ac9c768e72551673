# Shared helpers of the GUI tests: a private X server, windows found by
# title, and checks that say what went wrong.
# shellcheck shell=bash

fail() { echo "FAIL: $*" >&2; exit 1; }
note() { echo "--- $*"; }

# Starts a private Xvfb of the given size (default 1024x768) and exports DISPLAY.
# -noreset: the server would reset when its last client leaves (a launcher ends
# just before the emulator it started connects) and refuse clients meanwhile.
start_display() {
  local size=${1:-1024x768}
  command -v Xvfb >/dev/null || fail "Xvfb is not installed"
  command -v xdotool >/dev/null || fail "xdotool is not installed"
  local fifo; fifo=$(mktemp -u); mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$fifo" 2>/dev/null &
  XVFB_PID=$!
  local number; read -r -t 20 number <"$fifo" || fail "Xvfb did not start"
  rm -f "$fifo"
  export DISPLAY=":$number"
}

stop_display() { [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null || true; }

# A fresh work folder, removed with the display when the script ends.
make_workspace() {
  WORK=$(mktemp -d)
  trap 'kill $(jobs -p) 2>/dev/null; stop_display; rm -rf "$WORK"' EXIT
}

# Writes a drive map into a private XDG_CONFIG_HOME: "make_drive_map E=/path ...".
make_drive_map() {
  export XDG_CONFIG_HOME="$WORK/config"
  mkdir -p "$XDG_CONFIG_HOME/kelmor"
  { echo "[options]"; echo "detect=no"; echo "[drives]"; printf '%s\n' "$@"; } \
    >"$XDG_CONFIG_HOME/kelmor/drives.ini"
}

# Prints the ids of the visible windows whose title is exactly $1.
windows_named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true; }

# Waits (up to $2 seconds, default 10) until $3 (default 1) windows titled $1
# exist and prints the newest one's id.
wait_window() {
  local title=$1 seconds=${2:-10} count=${3:-1} ids
  for _ in $(seq $((seconds * 10))); do
    ids=$(windows_named "$title")
    if [ "$(printf '%s\n' "$ids" | grep -c .)" -ge "$count" ]; then
      printf '%s\n' "$ids" | tail -n 1; return 0
    fi
    sleep 0.1
  done
  fail "no window titled '$title' (wanted $count) within $seconds s"
}

# "x,y wxh" of a window, as the X server places it.
window_geometry() {
  local id=$1
  eval "$(xdotool getwindowgeometry --shell "$id")"
  echo "$X,$Y ${WIDTH}x$HEIGHT"
}

# Presses a key in a window, after giving it the focus.
press_key() {
  xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1"
  xdotool key --clearmodifiers "$2"
}

# Waits (up to $2 s) for process $1, a job of this shell, to end; sets EXIT_CODE.
wait_exit() {
  local pid=$1 seconds=${2:-10}
  for _ in $(seq $((seconds * 10))); do
    if ! kill -0 "$pid" 2>/dev/null; then
      EXIT_CODE=0; wait "$pid" || EXIT_CODE=$?
      return 0
    fi
    sleep 0.1
  done
  kill "$pid" 2>/dev/null
  fail "process $pid still running after $seconds s"
}

# Waits (up to $2 s) for file $1 to exist.
wait_file() {
  for _ in $(seq $((${2:-10} * 10))); do [ -e "$1" ] && return 0; sleep 0.1; done
  fail "$1 did not appear"
}
