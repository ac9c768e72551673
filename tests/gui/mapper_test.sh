#!/usr/bin/env bash
# The real _Mapper: its wait window, and the map editor opened end to end,
# through the real _KelmorPlix installing from a kit CD, or directly once the
# kit is installed. The map editor is a stand-in that records how it started.
set -euo pipefail
BIN=$(cd "$1" && pwd)
source "$(dirname "$0")/lib.sh"
make_workspace
start_display 1024x768
cd "$WORK"

app="$WORK/Kelmor Plix app"  # a blank in the folder's name
mkdir -p "$app"
cp "$BIN/_Mapper" "$app/"

# A stand-in program that records its arguments and working folder in $1.
stand_in() {
  cat <<SH
#!/bin/sh
{ echo "\$#"; for a in "\$@"; do echo "\$a"; done; pwd; } >$1.tmp && mv $1.tmp $1
SH
}

note "the wait window: title, place, picture and label"
make_drive_map
# The window lives 600 ms; it is held still for the screenshot.
"$app/_Mapper" 2>"$WORK/stderr.txt" &
pid=$!
window=$(wait_window "Kelmor Plix Mapper")
sleep 0.2
kill -STOP "$pid"
geometry=$(window_geometry "$window") || true
icon=$(xprop -id "$window" _NET_WM_ICON | sed -n 1p) || true
import -window root "$WORK/mapper-window.png" || true
kill -CONT "$pid"
[ "$geometry" = "379,354 265x79" ] || fail "window at $geometry, wanted 379,354 265x79"
case $icon in *"Icon (64 x 64)"*) ;; *) fail "window icon: $icon" ;; esac
wait_exit "$pid"; code=$EXIT_CODE
[ "$code" = 0 ] || fail "exit code $code although the kit launcher is missing"
[ ! -s "$WORK/stderr.txt" ] || fail "a missing kit launcher was reported: $(cat "$WORK/stderr.txt")"

note "not installed: the real _KelmorPlix installs from the kit CD and opens the map editor"
cd_root="$WORK/kit cd"
mkdir -p "$cd_root/KIT/USA" "$cd_root/KIT/DATA" "$app/DATA" "$app/vantrel"
for f in KELKIT.EXE HMIDET.386 HMIDRV.386; do echo "$f" >"$cd_root/KIT/$f"; done
echo usa >"$cd_root/KIT/DATA/USA.BIN"
stand_in editor.txt >"$cd_root/KIT/USA/MAPPER.EXE"
chmod +x "$cd_root/KIT/USA/MAPPER.EXE"
printf 'KELPLIX\r\n' >"$app/TEST.FUJ"
cp "$BIN/_KelmorPlix" "$app/"
make_drive_map "E=$cd_root"
"$app/_Mapper" 2>"$WORK/stderr.txt" &
pid=$!
wait_window "Kelmor Plix Mapper" >/dev/null
wait_exit "$pid"; code=$EXIT_CODE
[ "$code" = 0 ] || fail "_Mapper exit code $code"
wait_file "$app/editor.txt" 15
[ "$(cat "$app/editor.txt")" = "$(printf '0\n%s' "$app")" ] ||
  fail "map editor started as: $(cat "$app/editor.txt")"
cmp -s "$app/THEST.FUJ" "$app/TEST.FUJ" || fail "the kit launcher did not record the installation"
cmp -s "$app/DATA/USA.BIN" "$cd_root/KIT/DATA/USA.BIN" || fail "the kit's data were not installed"
[ -e "$app/vantrel/vtr.ini" ] || fail "the vendor ini file was not written"
[ ! -e "$app/dosbox.conf" ] || fail "mapper mode wrote dosbox.conf"

note "installed: _Mapper opens the map editor itself"
rm -f "$app/editor.txt" "$app/vantrel/vtr.ini"
stand_in kit.txt >"$app/_KelmorPlix"  # would record a start of the kit launcher
chmod +x "$app/_KelmorPlix"
"$app/_Mapper" &
pid=$!
wait_exit "$pid"; code=$EXIT_CODE
[ "$code" = 0 ] || fail "_Mapper exit code $code"
wait_file "$app/editor.txt"
[ "$(cat "$app/editor.txt")" = "$(printf '0\n%s' "$app")" ] ||
  fail "map editor started as: $(cat "$app/editor.txt")"
sleep 0.3
[ ! -e "$app/kit.txt" ] || fail "the kit launcher was started although the kit is installed"

note "installed but no map editor: nothing starts, nothing is said, exit 0"
rm -f "$app/editor.txt" "$app/MAPPER.EXE"
"$app/_Mapper" 2>"$WORK/stderr.txt" &
pid=$!
wait_exit "$pid"; code=$EXIT_CODE
[ "$code" = 0 ] || fail "_Mapper exit code $code"
sleep 0.3
[ ! -e "$app/kit.txt" ] && [ ! -e "$app/editor.txt" ] || fail "something was started"
[ ! -s "$WORK/stderr.txt" ] || fail "a message was given: $(cat "$WORK/stderr.txt")"
[ -z "${KELMOR_SCREENSHOTS:-}" ] || cp "$WORK"/*.png "$KELMOR_SCREENSHOTS"/
echo "PASS"
