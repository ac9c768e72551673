#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The map editor under Debian's emulator: the kit CD's MAPPER.EXE is a DOS
# program (an MZ header) that writes its command tail to B:\RESULT.TXT. On a
# fresh application folder _Mapper has _KelmorPlix install the kit and open
# the map editor; on the installed folder _Mapper opens it itself. Both times
# the emulator runs it from the application folder as B: with no arguments
# and ends with it, and dosbox.conf is left as it was: none after the
# installation run, the kit's own (which would end the emulator before the
# map editor) after the second. A map editor in COM form (no MZ header), as
# executable as an install from a CD's Rock Ridge modes leaves it, runs in
# the emulator too, never as a program of Linux.
set -euo pipefail
BUILD=$1
source "$(dirname "$0")/lib.sh"
for program in _Mapper _KelmorPlix; do
  [ -x "$BUILD/bin/$program" ] || { echo "SKIP: $program is not part of this tree"; exit 77; }
done
make_e2e_workspace
start_display 1024x768

app="$WORK/Kelmor app"
kit_cd="$WORK/Kit CD"
install_app "$BUILD" "$app"
mkdir -p "$kit_cd/KIT/DATA"
printf 'kit' >"$kit_cd/KIT/KELKIT.EXE"
printf 'usa' >"$kit_cd/KIT/DATA/USA.BIN"
assemble_tail_writer "$kit_cd/KIT/USA/MAPPER.EXE" exe
make_emulator "$WORK/emulator folder/run dosbox"
{
  printf '[options]\ndetect=no\nemulator=%s\n' "$WORK/emulator folder/run dosbox"
  printf '[drives]\nL=%s\n' "$kit_cd"
} >"$XDG_CONFIG_HOME/kelmor/drives.ini"

# Runs _Mapper, which ends at once, and waits for the map editor's file and
# the emulator's end.
open_map_editor() {
  rm -f "$app/RESULT.TXT"
  cd "$WORK"
  timeout 30 "$app/_Mapper" &
  wait_exit $! 30
  [ "$EXIT_CODE" = 0 ] || fail "_Mapper ended with $EXIT_CODE"
  expect_file_text "$app/RESULT.TXT" 30 ""
  wait_emulators 30
}

note "fresh folder: _KelmorPlix installs, then the map editor runs in the emulator"
open_map_editor
cmp -s "$app/TEST.FUJ" "$app/THEST.FUJ" || fail "the installation was not recorded"
cmp -s "$kit_cd/KIT/DATA/USA.BIN" "$app/DATA/USA.BIN" || fail "the kit's data were not installed"
[ ! -e "$app/dosbox.conf" ] || fail "the installation run wrote dosbox.conf"
grep -q "^mount B \"C:.*\\\\Kelmor app\"" "$app/mapeditor.conf" || fail "$(cat "$app/mapeditor.conf")"

note "installed: _Mapper opens the map editor itself, dosbox.conf stays the kit's"
printf '[autoexec]\r\nexit\r\n' >"$app/dosbox.conf"
open_map_editor
[ "$(cat "$app/dosbox.conf")" = $'[autoexec]\r\nexit\r' ] || fail "dosbox.conf changed"

note "installed, the map editor in COM form and executable: the emulator runs it"
assemble_tail_writer "$app/MAPPER.EXE"
chmod +x "$app/MAPPER.EXE"
open_map_editor
[ -z "$(complaints)" ] || fail "DOSBox found fault with the configuration: $(complaints)"
echo "PASS"
