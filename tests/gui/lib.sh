# SPDX-License-Identifier: GPL-3.0-or-later
# Shared helpers of the GUI tests: a private X server, windows found by
# title, and checks that say what went wrong. The same scenarios run on
# either host: KELMOR_HOST=wine (set by the Windows build's CTest) runs the
# .exes under Wine in a clone of the template prefix; otherwise the Linux
# programs run.
# shellcheck shell=bash

fail() { echo "FAIL: $*" >&2; exit 1; }
note() { echo "--- $*"; }

KELMOR_HOST=${KELMOR_HOST:-linux}
on_wine() { [ "$KELMOR_HOST" = wine ]; }
if on_wine; then
  source "$(dirname "${BASH_SOURCE[0]}")/../win32/wine_lib.sh"
fi

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

# A fresh work folder, removed with the display when the script ends, and
# APPS, where application folders go: the work folder, or drive C: of a
# private Wine prefix. On Linux the settings store lives in the work folder.
make_workspace() {
  WORK=$(mktemp -d)
  trap 'on_wine && stop_wine; kill $(jobs -p) 2>/dev/null; stop_display; rm -rf "$WORK"' EXIT
  APPS=$WORK
  # The settings, the drive map and the cache are the test's own, never the user's.
  on_wine || export XDG_CONFIG_HOME="$WORK/config" XDG_CACHE_HOME="$WORK/cache"
  if on_wine; then
    clone_wine_prefix "$WORK/prefix" || fail "no Wine prefix"
    APPS=$WINEPREFIX/drive_c
  fi
}

# The settings store's entries of settings set $1 ("kelkit"), as "key=value"
# words in the order of their keys: the INI file of a private XDG_CONFIG_HOME
# on Linux, the registry key where the Win32 host keeps them under Wine.
stored_settings() {
  if on_wine; then
    registry_values "HKCU\\Software\\VB and VBA Program Settings\\$1\\$1" | tr '\n' ' '
  else
    [ ! -e "$XDG_CONFIG_HOME/kelmor/$1.ini" ] ||
      tr -d '\r' <"$XDG_CONFIG_HOME/kelmor/$1.ini" | grep '=' | sort | tr '\n' ' '
  fi
}

# Stores value $3 under key $2 of settings set $1, as another program would.
store_setting() {
  if on_wine; then
    wine reg add "HKCU\\Software\\VB and VBA Program Settings\\$1\\$1" /v "$2" /d "$3" /f \
      >/dev/null 2>&1 || fail "could not store $2 in the registry"
    return
  fi
  local ini="$XDG_CONFIG_HOME/kelmor/$1.ini"
  mkdir -p "$(dirname "$ini")"
  [ -e "$ini" ] || printf '[%s]\n' "$1" >"$ini"
  if grep -q "^$2=" "$ini"; then
    sed -i "s|^$2=.*|$2=$3|" "$ini"
  else
    printf '%s=%s\n' "$2" "$3" >>"$ini"
  fi
}

# Gives drive letters their folders: "make_drive_map E=/path ...". On Linux
# a drive map in a private XDG_CONFIG_HOME; under Wine the prefix's drives,
# where E: is a CD-ROM drive, without a disc when no folder is given.
make_drive_map() {
  if on_wine; then
    stop_wine
    find "$WINEPREFIX/dosdevices" -maxdepth 1 -name '[d-y]:' -delete
    ln -s /nonexistent-kelmor-cd "$WINEPREFIX/dosdevices/e:"
    local drive
    for drive in "$@"; do
      ln -sfn "${drive#*=}" "$WINEPREFIX/dosdevices/$(tr 'A-Z' 'a-z' <<<"${drive%%=*}"):"
    done
    return
  fi
  export XDG_CONFIG_HOME="${XDG_CONFIG_HOME:-$WORK/config}"
  mkdir -p "$XDG_CONFIG_HOME/kelmor"
  { echo "[options]"; echo "detect=no"; echo "[drives]"; printf '%s\n' "$@"; } \
    >"$XDG_CONFIG_HOME/kelmor/drives.ini"
}

# Makes the cue sheet image $2 of the folder $1: its ISO 9660 image as a
# MODE1/2048 data track in a file of its own, then an audio track of four
# seconds in another, named as rips name them ("<name> (Track 1).bin").
make_cue_image() {
  local folder=$(dirname "$2") name=$(basename "$2" .cue)
  mkdir -p "$folder"
  xorriso -as mkisofs -quiet -R -J -o "$folder/$name (Track 1).bin" "$1" 2>/dev/null ||
    fail "xorriso could not make an image of $1"
  head -c $((2352 * 300)) /dev/zero >"$folder/$name (Track 2).bin"
  printf 'FILE "%s" BINARY\r\n  TRACK 01 MODE1/2048\r\n    INDEX 01 00:00:00\r\n' "$name (Track 1).bin" >"$2"
  printf 'FILE "%s" BINARY\r\n  TRACK 02 AUDIO\r\n    INDEX 01 00:00:00\r\n' "$name (Track 2).bin" >>"$2"
}

# Gives the image $1, lying in the application folder, drive D: and no other
# drive but C: (and Wine's E: without a disc): under Wine as an image beside
# the programs, on Linux named in the drive map (which gives images beside
# the programs letters only where it looks for mounted discs as well).
give_image_beside() {
  if on_wine; then make_drive_map; else make_drive_map "D=$1"; fi
}

# What the no-CD messages add on this host for the application folder $1,
# as their line on stderr shows it: on Linux an image copied there, or
# Kelmor Drives; nothing on Windows.
no_cd_advice() {
  on_wine || printf " Or copy the CD's image (.iso, or .cue with its files) into %s, or give it a drive letter in Kelmor Drives." "$1"
}

# What the messages of an emulator that cannot be started advise on this
# host for the application folder $1, as their line on stderr shows it: on
# Linux the kit installed again and DOSBox with apt or named in Kelmor
# Drives, on Windows DOSBox copied into the folder as dosbox.exe.
no_emulator_advice() {
  if on_wine; then
    printf "Copy DOSBox (dosbox.exe and the files beside it) into the folder %s; DOSBox-X's program, dosbox-x.exe, goes there as dosbox.exe. The kit's setup offers to do so when DOSBox is installed." "$(windows_path "$1")"
  else
    printf "The kit starts DOSBox through its program dosbox, which is missing from the folder %s or cannot run: install the kit into that folder again (make install APP=\"%s\" in the kit's sources). DOSBox itself: sudo apt install dosbox on Debian and Ubuntu (the kit also starts DOSBox Staging or DOSBox-X where one is installed, or the emulator you name in the Emulator box of Kelmor Drives)." "$1" "$1"
  fi
}

# The Windows path the programs see for a host path.
windows_path() {
  if on_wine; then windows_path_in_prefix "$1"; else printf 'C:%s' "${1//\//\\}"; fi
}

# A folder as a started program reports its working folder.
working_folder() {
  if on_wine; then windows_path "$1"; else printf '%s' "$1"; fi
}

# The file of program $1 as built in $BIN (KELMOR.EXE, _Mapper.exe on Windows).
program_file() {
  if on_wine; then
    find "$BIN" -maxdepth 1 -iname "$1.exe" | head -n 1
  else
    printf '%s/%s' "$BIN" "$1"
  fi
}

# Skips the test (exit 77) when this tree does not build program $1 (yet).
require_program() {
  local file; file=$(program_file "$1")
  [ -n "$file" ] && [ -f "$file" ] || { echo "SKIP: $1 is not built here"; exit 77; }
}

# Copies program $1 into folder $2.
install_program() {
  require_program "$1"
  cp "$(program_file "$1")" "$2/"
}

# Runs program $2 of folder $1 with the arguments that follow, in place of
# this (sub)shell: `run_program "$app" KELMOR &`, then pid=$!.
run_program() {
  local folder=$1 name=$2
  shift 2
  if on_wine; then
    exec "$KELMOR_WINE" "$(windows_path "$folder")\\$(basename "$(program_file "$name")")" "$@"
  fi
  exec "$folder/$name" "$@"
}

# Puts at $1 a stand-in program that records how it was started, beside
# itself: <name>-started.txt holds the number of arguments, each argument
# and the working folder, one per line; <name>-handed.conf is the dosbox.conf
# it found there. <name> is its file name in lower case, without extension.
# Under Wine <name>-cmdline.txt is the command line it got. The same program
# with an emulator's version resource is named there by KELMOR_STAND_IN_STAGING_082,
# KELMOR_STAND_IN_STAGING_083, KELMOR_STAND_IN_DOSBOX_074 and KELMOR_STAND_IN_DOSBOX_X.
stand_in() {
  mkdir -p "$(dirname "$1")"
  if on_wine; then cp "${KELMOR_STAND_IN:?no stand-in program}" "$1"; return; fi
  cat >"$1" <<'SH'
#!/bin/sh
name=$(basename "$0"); name=${name%.*}
record="$(dirname "$0")/$(printf '%s' "$name" | tr 'A-Z' 'a-z')"
{ echo "$#"; for a in "$@"; do echo "$a"; done; pwd; } >"$record-started.part"
[ ! -e dosbox.conf ] || cp dosbox.conf "$record-handed.conf"
mv "$record-started.part" "$record-started.txt"
SH
  chmod +x "$1"
}

# Checks that the stand-in whose record is $1 (folder and name: "$app/dosbox")
# was started with the arguments that follow, in its own folder; under Wine
# also that its command line named its path in quotes.
expect_started() {
  local record=$1
  shift
  wait_file "$record-started.txt" 15
  local expected
  expected=$(printf '%s\n' "$#" "$@"; working_folder "$(dirname "$record")")
  [ "$(cat "$record-started.txt")" = "$expected" ] ||
    fail "$(basename "$record") started as: $(cat "$record-started.txt")"
  if on_wine; then
    case $(cat "$record-cmdline.txt") in
      "\"$(windows_path "$(dirname "$record")")\\"*) ;;
      *) fail "$(basename "$record") command line: $(cat "$record-cmdline.txt")" ;;
    esac
  fi
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

# Clicks the close box of Wine's window $1 (Wine draws its windows' frames
# when no window manager does).
press_close_box() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove --sync $((X + WIDTH - 13)) $((Y + 12)) click 1
}

# Presses OK in message box $1 and waits until it is gone. Wine's boxes take
# the focus themselves (asking Wine's windows for it hangs without a window
# manager); a press right after a font change can be lost, so it is repeated.
dismiss_box() {
  if ! on_wine; then press_key "$1" Return; return; fi
  for _ in $(seq 20); do
    xdotool getwindowname "$1" >/dev/null 2>&1 || return 0
    xdotool key --clearmodifiers Return
    sleep 0.3
  done
  fail "message box $1 did not go"
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
