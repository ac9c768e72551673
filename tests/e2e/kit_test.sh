#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The whole kit chain with Debian's emulator: the installed _KelmorPlix finds
# a generated kit CD, installs its 218 files into the folders that the
# install laid out, writes dosbox.conf and starts the bridge; DOSBox runs
# the installed KELKIT.EXE from the application folder as B:, which writes
# its command tail to B:\RESULT.TXT. " ver=usa" there proves the mounts, the
# drive change, the installed program and the language found in the data.
# Then the same CD as an .iso image installs into a second application
# folder and runs, the emulator mounting it with IMGMOUNT.
set -euo pipefail
BUILD=$1
source "$(dirname "$0")/lib.sh"
if [ ! -x "$BUILD/bin/_KelmorPlix" ]; then
  echo "SKIP: the kit launcher _KelmorPlix is not part of this tree yet; the kit chain is not tested"
  exit 77
fi
make_e2e_workspace
start_display 1024x768

app="$WORK/Kelmor app"
kit_cd="$WORK/Kit CD"
install_app "$BUILD" "$app"

# The kit's files as the CD holds them below KIT, each with its own content;
# the destination is the same relative path, but for the map editors.
files=(HMIDET.386 HMIDRV.386 FR/MAPPER.EXE AL/MAPPER.EXE USA/MAPPER.EXE)
declare -A prefix=([CAKE]=CAK [CAVE]=CAV [IMAGE]=IMA [JUNGLE]=JUN [MOUNTAIN]=MON [MUSIC]=MUS)
for world in CAKE CAVE IMAGE JUNGLE MOUNTAIN MUSIC; do
  files+=("$world/${prefix[$world]}.MAP" "$world/${prefix[$world]}.PCX" "$world/EVE.MLT")
  for map in 101 102 103 104 105; do
    for name in EVENT.MAP EVENT.MEV EVENT.SEV MAP.INI; do files+=("$world/MAP_$map/$name"); done
  done
done
for name in AL.BIN FR.BIN KITFOND.PCX LET.OBF LET.SPR LET2.OBF LET2.SPR PERFECT.VIG SOUND.BIN \
            USA.BIN VERSION.BIN; do files+=("DATA/$name"); done
for name in ALLFIX.DAT BIGKEL.DAT COMMON.DAT SNDD8B.DAT SNDH8B.DAT VIGNET.DAT; do
  files+=("PCMAP/$name")
done
for level in CAK CAV IMA JUN MON MUS; do
  for n in 01 02 03 04; do files+=("PCMAP/$level$n.LEV"); done
done
for n in 01 02 03 04 05 06; do files+=("PCMAP/KEL$n.WLD"); done
for language in AL FR USA; do
  for name in EVNAME0{0,1,2,3,4,5,6}.WLD SPECIAL.DAT SNDSMP.DAT; do
    files+=("PCMAP/$language/$name")
  done
done
[ "${#files[@]}" = 217 ] || fail "the test lists ${#files[@]} files besides KELKIT.EXE"
for file in "${files[@]}"; do
  mkdir -p "$kit_cd/KIT/$(dirname "$file")"
  printf '%s' "$file" >"$kit_cd/KIT/$file"
done
assemble_tail_writer "$kit_cd/KIT/KELKIT.EXE"
# The emulator is named in the drive map, in a folder with a blank.
make_emulator "$WORK/emulator folder/run dosbox"
{
  printf '[options]\ndetect=no\nemulator=%s\n' "$WORK/emulator folder/run dosbox"
  printf '[drives]\nL=%s\n' "$kit_cd"
} >"$XDG_CONFIG_HOME/kelmor/drives.ini"

# Runs the kit launcher of the application folder $1 and checks that every
# file of the kit landed in the folders the install laid out.
install_and_run_kit() {
  local app=$1
  cd "$WORK"
  timeout 30 "$app/_KelmorPlix" &
  wait_exit $! 30
  [ "$EXIT_CODE" = 0 ] || fail "_KelmorPlix ended with $EXIT_CODE"
  expect_file_text "$app/RESULT.TXT" 30 " ver=usa"
  wait_emulators 30
  cmp -s "$kit_cd/KIT/KELKIT.EXE" "$app/KELKIT.EXE" || fail "KELKIT.EXE not installed"
  [ "$(cat "$app/MAPPER.EXE")" = USA/MAPPER.EXE ] || fail "MAPPER.EXE: $(cat "$app/MAPPER.EXE")"
  local missing=() file
  for file in "${files[@]}"; do
    case $file in */MAPPER.EXE) continue ;; esac
    [ "$(cat "$app/$file" 2>/dev/null)" = "$file" ] || missing+=("$file")
  done
  [ ${#missing[@]} = 0 ] || fail "not installed: ${missing[*]}"
  [ -f "$app/vantrel/vtr.ini" ] || fail "no vantrel/vtr.ini"
  cmp -s "$app/TEST.FUJ" "$app/THEST.FUJ" || fail "THEST.FUJ is not a copy of TEST.FUJ"
  grep -qi '^mount B "C:\\.*\\'"$(basename "$app")"'"' "$app/dosbox.conf" ||
    fail "$(grep -i mount "$app/dosbox.conf")"
}

note "_KelmorPlix with its CD on L:"
install_and_run_kit "$app"

note "the kit CD as an .iso image on L:"
image_app="$WORK/Kit from an image"
install_app "$BUILD" "$image_app"
mkdir -p "$WORK/CD images"
xorriso -as mkisofs -quiet -R -J -o "$WORK/CD images/Kelmor Plix.iso" "$kit_cd" 2>/dev/null ||
  fail "xorriso could not make the kit CD's image"
sed -i "s|^L=.*|L=$WORK/CD images/Kelmor Plix.iso|" "$XDG_CONFIG_HOME/kelmor/drives.ini"
install_and_run_kit "$image_app"
grep -qF "IMGMOUNT L \"$WORK/CD images/Kelmor Plix.iso\" -t iso" "$XDG_RUNTIME_DIR"/kelmor-*/*.conf ||
  fail "no image mount: $(grep -ih mount "$XDG_RUNTIME_DIR"/kelmor-*/*.conf)"
[ -z "$(complaints)" ] || fail "DOSBox found fault with the configuration: $(complaints)"
echo "PASS"
