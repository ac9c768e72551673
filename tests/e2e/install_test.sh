#!/usr/bin/env bash
# `cmake --install` lays out a complete application folder with menu
# entries, installing again keeps what the user and the kit put there, and
# the uninstall takes back what the install brought and nothing else.
set -euo pipefail
BUILD=$1
source "$(dirname "$0")/lib.sh"
make_e2e_workspace
BIN="$BUILD/bin"
app="$WORK/Kelmor app"
menu="$XDG_DATA_HOME/applications"

declare -A titles=([KELMOR]="Kelmor" [_KelmorPlix]="Kelmor Plix Launcher"
                   [_Mapper]="Kelmor Plix Mapper Launcher" [_Configuration]="Kelmor Plix Configuration"
                   [kelmor-drives]="Kelmor Drives")
declare -A classes=([KELMOR]="Kelmor" [_KelmorPlix]="Kelmor Plix" [_Mapper]="Kelmor Plix Mapper"
                    [_Configuration]="Kelmor Plix Configuration" [kelmor-drives]="Kelmor Drives")
programs=()
for program in KELMOR _KelmorPlix _Mapper _Configuration kelmor-drives; do
  [ -x "$BIN/$program" ] && programs+=("$program")
done
note "programs built: ${programs[*]}"

note "a folder whose name cannot be a Windows path is refused before anything is written"
for name in 'x\y' 'x"y' $'x\ny'; do
  rm -rf "$WORK/w"; mkdir -p "$WORK/w/x/y"
  if cmake --install "$BUILD" --prefix "$WORK/w/$name" >"$WORK/refused.log" 2>&1; then
    fail "installed into $WORK/w/$name"
  fi
  tr -s ' \n' '  ' <"$WORK/refused.log" | grep -q "the kit's programs cannot run there" ||
    fail "refusal: $(cat "$WORK/refused.log")"
  [ "$(cd "$WORK/w" && find . | sort | tr '\n' ' ')" = ". ./x ./x/y " ] || fail "written: $(find "$WORK/w")"
  [ ! -e "$menu" ] || fail "menu entries written: $(ls "$menu")"
done

# The installed programs and the bridge: the built ones without their symbols.
same_program() {
  strip -o "$WORK/stripped" "$1" && cmp -s "$WORK/stripped" "$2" && [ -x "$2" ] &&
    ! readelf -S "$2" | grep -q '\.symtab'
}

note "a fresh folder"
install_app "$BUILD" "$app"
for program in "${programs[@]}"; do
  same_program "$BIN/$program" "$app/$program" || fail "$program not installed, stripped and executable"
done
same_program "$BIN/dosbox" "$app/dosbox" || fail "the bridge is not installed as dosbox"
[ "$(od -An -c "$app/TEST.FUJ" | tr -s ' ')" = " K E L P L I X \r \n" ] ||
  fail "TEST.FUJ: $(od -c "$app/TEST.FUJ")"

expected_folders=(DATA PCMAP PCMAP/AL PCMAP/FR PCMAP/USA SAVEGAME icons vantrel)
for world in CAKE CAVE IMAGE JUNGLE MOUNTAIN MUSIC; do
  expected_folders+=("$world" "$world"/MAP_10{1,2,3,4,5})
done
diff <(printf '%s\n' "${expected_folders[@]}" | sort) \
     <(cd "$app" && find . -mindepth 1 -type d | sed 's|^\./||' | sort) >&2 ||
  fail "the folders differ from the kit's destinations (< wanted, > found)"

note "menu entries named by title, pointing into the folder, with their window class and theme icons"
entries=("${programs[@]}")
titles[game]="Kelmor Configuration" classes[game]="Kelmor Configuration"
[ -x "$BIN/_Configuration" ] && entries+=(game)
for program in "${entries[@]}"; do
  entry="$menu/kelmor-$program.desktop" exec="Exec=\"$app/$program\""
  [ "$program" != game ] || entry="$menu/kelmor-game-configuration.desktop" exec="Exec=\"$app/_Configuration\" kel1"
  [ -f "$entry" ] || fail "no menu entry $entry"
  grep -qx "Name=${titles[$program]}" "$entry" && grep -qx "StartupWMClass=${classes[$program]}" "$entry" ||
    fail "$entry: $(cat "$entry")"
  grep -qxF "$exec" "$entry" || fail "$entry: Exec: $(grep Exec "$entry")"
  icon=$(sed -n 's/^Icon=//p' "$entry")
  for size in 48 64 128 256; do
    [ "$(identify -format '%m %wx%h' "$XDG_DATA_HOME/icons/hicolor/${size}x$size/apps/$icon.png")" = "PNG ${size}x$size" ] ||
      fail "$entry: no $size-pixel icon $icon"
  done
  if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$entry" >&2 || fail "$entry invalid"; fi
done
[ "$(ls "$menu" | wc -l)" = "${#entries[@]}" ] || fail "unexpected menu entries: $(ls "$menu")"
tail -n 2 "$WORK/install.log" | grep -qF "The menu entries are in $menu" &&
  tail -n 1 "$WORK/install.log" | grep -qF "Give the kit its CD: copy the CD image (.iso or .cue) into $app," ||
  fail "the install does not end with the next step: $(tail -n 2 "$WORK/install.log")"

note "installing again keeps the user's files and replaces a linked dosbox without writing through it"
printf 'save' >"$app/SAVEGAME/SAVE1.DAT"
printf 'kit data' >"$app/DATA/USA.BIN"
printf 'map' >"$app/CAKE/MAP_101/MAP.INI"
printf 'KELPLIX\r\n' >"$app/THEST.FUJ"
printf 'conf' >"$app/dosbox.conf"
printf 'system emulator' >"$WORK/system-dosbox"
rm "$app/dosbox" && ln -s "$WORK/system-dosbox" "$app/dosbox"
printf 'other' >"$app/DOSBOX.EXE"
install_app "$BUILD" "$app"
[ "$(cat "$app/SAVEGAME/SAVE1.DAT")" = save ] || fail "the save folder lost its file"
[ "$(cat "$app/DATA/USA.BIN")" = "kit data" ] || fail "installed kit data lost"
[ "$(cat "$app/CAKE/MAP_101/MAP.INI")" = map ] || fail "installed kit map lost"
[ "$(cat "$app/dosbox.conf")" = conf ] || fail "dosbox.conf lost"
[ "$(od -An -c "$app/THEST.FUJ" | tr -s ' ')" = " K E L P L I X \r \n" ] || fail "THEST.FUJ lost"
[ "$(cat "$WORK/system-dosbox")" = "system emulator" ] || fail "written through the dosbox link"
[ ! -L "$app/dosbox" ] && same_program "$BIN/dosbox" "$app/dosbox" || fail "the link was not replaced by the bridge"
grep -q "DOSBOX.EXE is started in place of the bridge" "$WORK/install.log" ||
  fail "no warning about DOSBOX.EXE: $(cat "$WORK/install.log")"
[ -z "$(find "$app" -name '*.installing')" ] || fail "temporary files left behind"

note "the uninstall takes back what the install brought; the user's files, the settings and another folder's entries stay"
rm "$app/DOSBOX.EXE"
printf 'settings' >"$XDG_CONFIG_HOME/kelmor/kel1.ini"
printf '[Desktop Entry]\nPath=/elsewhere\n' >"$menu/kelmor-_Mapper.desktop"
cmake -DKELMOR_APP_FOLDER="$app" -P "$BUILD/uninstall_application_folder.cmake" >"$WORK/uninstall.log" 2>&1 ||
  fail "uninstall failed: $(cat "$WORK/uninstall.log")"
[ "$(cd "$app" && find . | sort | tr '\n' ' ')" = ". ./CAKE ./CAKE/MAP_101 ./CAKE/MAP_101/MAP.INI ./DATA ./DATA/USA.BIN ./SAVEGAME ./SAVEGAME/SAVE1.DAT ./THEST.FUJ ./dosbox.conf " ] ||
  fail "left in the folder: $(cd "$app" && find . | sort | tr '\n' ' ')"
[ "$(ls "$menu")" = kelmor-_Mapper.desktop ] || fail "menu entries left: $(ls "$menu")"
[ "$(find "$XDG_DATA_HOME/icons" -type f -printf '%f\n' | sort -u | tr '\n' ' ')" = "kelmor-_Mapper.png " ] ||
  fail "icons left: $(find "$XDG_DATA_HOME/icons" -type f)"
[ "$(cat "$XDG_CONFIG_HOME/kelmor/kel1.ini")" = settings ] || fail "the settings went"
echo "PASS"
