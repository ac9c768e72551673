#!/usr/bin/env bash
# `cmake --install` lays out a complete application folder with menu
# entries, and installing again keeps what the user and the kit put there.
set -euo pipefail
BUILD=$1
source "$(dirname "$0")/lib.sh"
make_e2e_workspace
BIN="$BUILD/bin"
app="$WORK/Kelmor app"
menu="$XDG_DATA_HOME/applications"

declare -A titles=([KELMOR]="Kelmor for Windows" [_KelmorPlix]="Kelmor Plix Launcher"
                   [_Mapper]="Kelmor Plix Mapper Launcher" [_Configuration]="Kelmor Plix Configuration"
                   [kelmor-drives]="Kelmor Drives")
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

note "menu entries named by title, pointing into the folder"
for program in "${programs[@]}"; do
  entry="$menu/kelmor-$program.desktop"
  [ -f "$entry" ] || fail "no menu entry $entry"
  grep -qx "Name=${titles[$program]}" "$entry" || fail "$entry: $(cat "$entry")"
  grep -qxF "Exec=\"$app/$program\"" "$entry" || fail "$entry: Exec not quoted: $(grep Exec "$entry")"
  icon=$(sed -n 's/^Icon=//p' "$entry")
  [ "$(head -c 8 "$icon" | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] ||
    fail "$entry: no PNG icon at $icon"
  if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$entry" >&2 || fail "$entry invalid"; fi
done
[ "$(ls "$menu" | wc -l)" = "${#programs[@]}" ] || fail "unexpected menu entries: $(ls "$menu")"

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
echo "PASS"
