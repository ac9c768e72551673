#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# `cmake --install` lays out a complete application folder with menu
# entries and records what it brought; installing again keeps what the user
# and the kit put there and never overwrites a file of the user's; the
# uninstall takes back what the record lists while it is unchanged, and
# nothing else. Then one row for each kind of folder: a path with glob
# characters, ";", "%" or bytes that are not UTF-8, a folder that never held
# the kit, a file the user changed, an earlier version's install without a
# record, a copied folder, two installed folders with a menu each, and
# folders holding links, FIFOs or a tampered record.
set -euo pipefail
BUILD=$1
source "$(dirname "$0")/lib.sh"
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
make_e2e_workspace
BIN="$BUILD/bin"
app="$WORK/Kelmor app"
menu="$XDG_DATA_HOME/applications"

# The menu names, the same on both hosts (the windows keep their titles).
declare -A titles=([KELMOR]="Kelmor" [_KelmorPlix]="Kelmor Plix"
                   [_Mapper]="Kelmor Plix Mapper" [_Configuration]="Kelmor Plix Configuration"
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

# What a folder holds, one line: ". ./DATA ./SAVEGAME ".
listing() { (cd "$1" && find . | LC_ALL=C sort | tr '\n' ' '); }

# Uninstalls the application folder $1; its output goes to uninstall.log.
# (Here and in the installs below, `timeout` ends one that waits for ever.)
uninstall_app() {
  timeout 120 cmake -DKELMOR_APP_FOLDER="$1" -P "$BUILD/uninstall_application_folder.cmake" >"$WORK/uninstall.log" 2>&1 ||
    fail "uninstall failed: $(cat "$WORK/uninstall.log")"
}

# An install into $1 that must stop, its output in install.log.
refused_install() {
  if timeout 120 cmake --install "$BUILD" --prefix "$1" >"$WORK/install.log" 2>&1; then
    fail "installed into $1: $(cat "$WORK/install.log")"
  fi
  grep -qF "Nothing installed into $1: these files are not the kit's" "$WORK/install.log" ||
    fail "refusal: $(cat "$WORK/install.log")"
}

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
same_program "$BIN/kelmor-message" "$app/kelmor-message" || fail "the bridge's kelmor-message is not installed"
[ "$(od -An -c "$app/TEST.FUJ" | tr -s ' ')" = " K E L P L I X \r \n" ] ||
  fail "TEST.FUJ: $(od -c "$app/TEST.FUJ")"

expected_folders=(DATA PCMAP PCMAP/AL PCMAP/FR PCMAP/USA SAVEGAME icons vantrel)
for world in CAKE CAVE IMAGE JUNGLE MOUNTAIN MUSIC; do
  expected_folders+=("$world" "$world"/MAP_10{1,2,3,4,5})
done
diff <(printf '%s\n' "${expected_folders[@]}" | sort) \
     <(cd "$app" && find . -mindepth 1 -type d | sed 's|^\./||' | sort) >&2 ||
  fail "the folders differ from the kit's destinations (< wanted, > found)"
grep -qxF "in $app" "$app/.kelmor-install" &&
  [ "$(grep -c '^folder ' "$app/.kelmor-install")" = "${#expected_folders[@]}" ] &&
  grep -qE "^file [0-9]+ [0-9a-f]{64} TEST.FUJ\$" "$app/.kelmor-install" ||
  fail "install record: $(cat "$app/.kelmor-install")"

note "menu entries named by their menu names, pointing into the folder, with their window class and theme icons"
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
printf 'image' >"$app/Kelmor.iso"
printf 'sheet' >"$app/Kelmor.dosbox.cue"
mkdir -p "$HOME/.local/state/kelmor" && printf 'log' >"$HOME/.local/state/kelmor/dosbox-1.log"
printf '[Desktop Entry]\nPath=/elsewhere\nIcon=kelmor-_Mapper\n' >"$menu/kelmor-_Mapper.desktop"
uninstall_app "$app"
[ "$(listing "$app")" = ". ./CAKE ./CAKE/MAP_101 ./CAKE/MAP_101/MAP.INI ./DATA ./DATA/USA.BIN ./Kelmor.dosbox.cue ./Kelmor.iso ./SAVEGAME ./SAVEGAME/SAVE1.DAT ./THEST.FUJ ./dosbox.conf " ] ||
  fail "left in the folder: $(listing "$app")"
[ "$(ls "$menu")" = kelmor-_Mapper.desktop ] || fail "menu entries left: $(ls "$menu")"
grep -qxF "Kept: $menu/kelmor-_Mapper.desktop, changed since the install." "$WORK/uninstall.log" ||
  fail "the changed entry kept without a word: $(cat "$WORK/uninstall.log")"
[ "$(find "$XDG_DATA_HOME/icons" -type f -printf '%f\n' | sort -u | tr '\n' ' ')" = "kelmor-_Mapper.png " ] ||
  fail "icons left: $(find "$XDG_DATA_HOME/icons" -type f)"
[ "$(cat "$XDG_CONFIG_HOME/kelmor/kel1.ini")" = settings ] || fail "the settings went"
diff <(sed -n '/^Uninstalled from /,$p' "$WORK/uninstall.log") - >&2 <<EOF || fail "the list of what stayed differs (< said, > wanted)"
Uninstalled from $app. These stay:

Your saved games:
  $app/SAVEGAME (1 file)

The kit's files, which the kit launcher copied from its CD:
  $app/CAKE (1 file)
  $app/DATA (1 file)
  $app/THEST.FUJ

CD images:
  $app/Kelmor.iso

Written by the launchers and DOSBox:
  $app/Kelmor.dosbox.cue
  $app/dosbox.conf

Changed since the install brought them:
  $menu/kelmor-_Mapper.desktop

Your settings (every folder of the kit uses them):
  $XDG_CONFIG_HOME/kelmor/kel1.ini

What DOSBox printed at the last starts:
  $HOME/.local/state/kelmor (1 file)

To remove these too: copy SAVEGAME elsewhere if you want to keep your saved games, then delete the folder $app.

To remove your settings and DOSBox's logs too (every folder of the kit loses them):
  rm -r '$XDG_CONFIG_HOME/kelmor' '$HOME/.local/state/kelmor'
EOF
rm -r "$HOME/.local/state/kelmor"
rm -rf "$XDG_DATA_HOME"
# Every row below starts from an empty menu and icon theme.
fresh_menu() { rm -rf "$XDG_DATA_HOME"; }
# The kit's entries and icons in the menu, one name a line.
menu_files() {
  { [ ! -d "$menu" ] || ls "$menu"; [ ! -d "$XDG_DATA_HOME/icons" ] || find "$XDG_DATA_HOME/icons" -type f -printf '%P\n'; } | sort
}
entry_sums() { (cd "$menu" && sha256sum kelmor-*.desktop); }
# Every menu entry passes desktop-file-validate, where it is installed.
validate_entries() {
  command -v desktop-file-validate >/dev/null || return 0
  local entry
  for entry in "$menu"/*.desktop; do desktop-file-validate "$entry" >&2 || fail "$entry invalid"; done
}

note "a path with glob characters: a file in a layout folder keeps it and its folders"
fresh_menu
gog="$WORK/Games [GOG] *?/kelmor"
install_app "$BUILD" "$gog"
printf 'map' >"$gog/CAKE/MAP_101/MAP.INI"
uninstall_app "$gog"
[ "$(listing "$gog")" = ". ./CAKE ./CAKE/MAP_101 ./CAKE/MAP_101/MAP.INI ./SAVEGAME " ] ||
  fail "left in $gog: $(listing "$gog")"
[ -z "$(menu_files)" ] || fail "left in the menu: $(menu_files)"

note "a folder that never held the kit: the uninstall removes nothing, the install overwrites nothing"
mine="$WORK/mine"
mkdir -p "$mine/CAKE" "$mine/DATA"
printf '#!/bin/sh\nexec /usr/bin/dosbox "$@"\n' >"$mine/dosbox" && chmod +x "$mine/dosbox"
before=$(listing "$mine"; sha256sum "$mine/dosbox")
uninstall_app "$mine"
[ "$(cat "$WORK/uninstall.log")" = "Nothing removed: $mine holds no record of a Kelmor kit install (.kelmor-install); if an earlier version of the kit installed it, install again (make install APP=...), then uninstall." ] ||
  fail "uninstall of a folder without the kit said: $(cat "$WORK/uninstall.log")"
[ "$(listing "$mine"; sha256sum "$mine/dosbox")" = "$before" ] || fail "changed: $(listing "$mine")"
refused_install "$mine"
grep -qxF "  $mine/dosbox (not the kit's)" "$WORK/install.log" || fail "refusal: $(cat "$WORK/install.log")"
[ "$(listing "$mine"; sha256sum "$mine/dosbox")" = "$before" ] || fail "written: $(listing "$mine")"
[ -z "$(menu_files)" ] || fail "menu written: $(menu_files)"
note "... and once the user's dosbox is gone, the folders that were there before the install stay after the uninstall"
mv "$mine/dosbox" "$WORK/my-dosbox"
install_app "$BUILD" "$mine"
uninstall_app "$mine"
[ "$(listing "$mine")" = ". ./CAKE ./DATA ./SAVEGAME " ] || fail "left in $mine: $(listing "$mine")"

note "a file the user changed: installing again refuses to overwrite it, the uninstall keeps it and says so"
fresh_menu
changed="$WORK/changed"
install_app "$BUILD" "$changed"
printf 'KELPLIX\r\nmine\r\n' >"$changed/TEST.FUJ"
before=$(listing "$changed"; sha256sum "$changed/TEST.FUJ" "$changed/KELMOR" "$changed/.kelmor-install"; entry_sums)
refused_install "$changed"
grep -qxF "  $changed/TEST.FUJ (changed since the kit installed it)" "$WORK/install.log" ||
  fail "refusal: $(cat "$WORK/install.log")"
[ "$(listing "$changed"; sha256sum "$changed/TEST.FUJ" "$changed/KELMOR" "$changed/.kelmor-install"; entry_sums)" = "$before" ] ||
  fail "the refused install wrote"
uninstall_app "$changed"
grep -qxF "Kept: $changed/TEST.FUJ, changed since the install." "$WORK/uninstall.log" ||
  fail "no word on the changed TEST.FUJ: $(cat "$WORK/uninstall.log")"
[ "$(listing "$changed")" = ". ./SAVEGAME ./TEST.FUJ " ] || fail "left in $changed: $(listing "$changed")"
[ "$(sed -n '/^Changed since/,/^$/p' "$WORK/uninstall.log")" = $'Changed since the install brought them:\n  '"$changed/TEST.FUJ" ] &&
  [ "$(grep -cF "$changed/TEST.FUJ" "$WORK/uninstall.log")" = 2 ] || fail "the changed TEST.FUJ's place in the list: $(cat "$WORK/uninstall.log")"
[ "$(od -An -c "$changed/TEST.FUJ" | tr -s ' ')" = " K E L P L I X \r \n m i n e \r \n" ] || fail "TEST.FUJ changed"
[ -z "$(menu_files)" ] || fail "left in the menu: $(menu_files)"

note "the list of what stayed: each entry of the folder under its kind, whatever the case of its name"
fresh_menu
kinds="$WORK/kinds"
install_app "$BUILD" "$kinds"
kit="The kit's files, which the kit launcher copied from its CD:" image="CD images:"
written="Written by the launchers and DOSBox:" other="Other files and folders:"
printf 'x' >"$kinds/PCMAP/AL/A.INI"  # and one file more in PCMAP below
# An entry (a folder ends in "/"), then what the list shows of it and under which heading.
kind_rows=("hmidet.386||$kit" "vantrel/MAP.INI|vantrel (1 file)|$kit" "PCMAP/FR/B.INI|PCMAP (2 files)|$kit"
  "SAVEGAME/|SAVEGAME (no files)|Your saved games:"
  "Kelmor.ISO||$image" "track 2.Bin||$image" "Kelmor.dosbox.CUE||$written" "Dosbox.Staging.conf||$written"
  "MAPEDITOR.conf||$written" "stdout.txt||$written" ".kelmor-x1.tmp||$written" "dosbox.conf.bak||$other"
  "notes/|notes (no files)|$other" "icons/KELMOR.png|icons/KELMOR.png|Changed since the install brought them:")
expected=()
for row in "${kind_rows[@]}"; do
  IFS='|' read -r entry shown heading <<<"$row"
  if [ "${entry%/}" != "$entry" ]; then mkdir -p "$kinds/$entry"; else printf 'x' >>"$kinds/$entry"; fi
  expected+=("${shown:-$entry}|$heading")
done
uninstall_app "$kinds"
# Each path of the folder in the list, with the heading it stands under.
diff <(awk -v app="$kinds/" '/^[^ ].*:$/ { heading = $0; next }
         index($0, "  " app) == 1 { print substr($0, length(app) + 3) "|" heading }' "$WORK/uninstall.log" | sort) \
     <(printf '%s\n' "${expected[@]}" | sort) >&2 || fail "kinds in the list of what stayed (< said, > wanted)"

note "... and when nothing stays, it says so"
nothing="$WORK/nothing"
install_app "$BUILD" "$nothing"
rmdir "$nothing/SAVEGAME"
XDG_CONFIG_HOME="$WORK/no-config" uninstall_app "$nothing"
[ "$(tail -n 1 "$WORK/uninstall.log")" = "Uninstalled from $nothing, and nothing of the kit stays." ] ||
  fail "$(tail -n 1 "$WORK/uninstall.log")"

note "an earlier version's install (no record): the uninstall removes nothing, installing again upgrades it"
fresh_menu
earlier="$WORK/earlier"
install_app "$BUILD" "$earlier"
rm "$earlier/.kelmor-install"
printf 'kit data' >"$earlier/DATA/USA.BIN"
# Its programs and icons are an older build's.
for file in KELMOR dosbox icons/KELMOR.png; do printf 'older' >>"$earlier/$file"; done
uninstall_app "$earlier"
grep -q "^Nothing removed: $earlier holds no record" "$WORK/uninstall.log" || fail "$(cat "$WORK/uninstall.log")"
[ -x "$earlier/KELMOR" ] && [ -f "$menu/kelmor-KELMOR.desktop" ] || fail "the uninstall removed files without a record"
install_app "$BUILD" "$earlier"
[ -f "$earlier/.kelmor-install" ] && same_program "$BIN/dosbox" "$earlier/dosbox" &&
  same_program "$BIN/KELMOR" "$earlier/KELMOR" && cmp -s "$earlier/icons/KELMOR.png" "$ROOT/art/kelmor_icon.png" ||
  fail "no upgrade: $(cat "$WORK/install.log")"
[ "$(ls "$menu" | wc -l)" = "${#entries[@]}" ] || fail "menu entries after the upgrade: $(ls "$menu")"
uninstall_app "$earlier"
[ "$(listing "$earlier")" = ". ./DATA ./DATA/USA.BIN ./SAVEGAME " ] || fail "left in $earlier: $(listing "$earlier")"
[ -z "$(menu_files)" ] || fail "left in the menu: $(menu_files)"
note "... but a script of the user's at the bridge's name in it is not overwritten"
install_app "$BUILD" "$earlier"
rm "$earlier/.kelmor-install"
printf '#!/bin/sh\nexec /usr/bin/dosbox "$@"\n' >"$earlier/dosbox"
refused_install "$earlier"
grep -qxF "  $earlier/dosbox (not the kit's)" "$WORK/install.log" || fail "refusal: $(cat "$WORK/install.log")"
grep -q '^exec /usr/bin/dosbox' "$earlier/dosbox" || fail "the user's dosbox was overwritten"
fresh_menu

note "a path with ';': the uninstall removes the folder's menu entries"
semicolon="$WORK/a;b"
install_app "$BUILD" "$semicolon"
grep -qxF "Path=$semicolon" "$menu/kelmor-KELMOR.desktop" || fail "$(cat "$menu/kelmor-KELMOR.desktop")"
uninstall_app "$semicolon"
[ -z "$(menu_files)" ] || fail "left in the menu: $(menu_files)"
[ "$(listing "$semicolon")" = ". ./SAVEGAME " ] || fail "left in $semicolon: $(listing "$semicolon")"

note "a copy of an installed folder: its uninstall leaves the menu entries, which start the original"
install_app "$BUILD" "$WORK/original"
cp -a "$WORK/original" "$WORK/copy"
sums=$(entry_sums)
uninstall_app "$WORK/copy"
grep -qxF "Kept the menu entries: the kit was installed as $WORK/original, and they start that folder." "$WORK/uninstall.log" ||
  fail "$(cat "$WORK/uninstall.log")"
[ "$(entry_sums)" = "$sums" ] || fail "the original's menu entries changed"
[ "$(listing "$WORK/copy")" = ". ./SAVEGAME " ] || fail "left in the copy: $(listing "$WORK/copy")"
uninstall_app "$WORK/original"
[ -z "$(menu_files)" ] || fail "left in the menu: $(menu_files)"

note "a path with '%' and the shell's characters: the menu entries start their programs (gio launch)"
command -v gio >/dev/null || fail "gio (libglib2.0-bin) is not installed"
start_display 1024x768
odd="$WORK/it's 50% off \$HOME \`x\` & more"
install_app "$BUILD" "$odd"
validate_entries
for folder in "$odd" "$WORK/plain"; do
  [ "$folder" = "$odd" ] || { uninstall_app "$odd"; install_app "$BUILD" "$folder"; }
  gio launch "$menu/kelmor-game-configuration.desktop" 2>"$WORK/gio.log" ||
    fail "gio launch: $(cat "$WORK/gio.log"); $(grep Exec "$menu/kelmor-game-configuration.desktop")"
  window=$(wait_window "Kelmor Configuration" 20)
  pid=$(xdotool getwindowpid "$window")
  [ "$(readlink "/proc/$pid/cwd")" = "$folder" ] && [ "$(readlink "/proc/$pid/exe")" = "$folder/_Configuration" ] ||
    fail "started: $(readlink "/proc/$pid/exe") in $(readlink "/proc/$pid/cwd")"
  kill "$pid"
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
done
uninstall_app "$WORK/plain"

note "a path that is not UTF-8: no menu entries, and the install says why"
not_utf8="$WORK/"$'caf\xe9'
install_app "$BUILD" "$not_utf8"
tail -n 2 "$WORK/install.log" | head -n 1 | grep -qF "No menu entries: the folder's path is not UTF-8 text" ||
  fail "$(tail -n 2 "$WORK/install.log")"
[ -z "$(menu_files)" ] || fail "menu entries written: $(menu_files)"
[ -x "$not_utf8/KELMOR" ] || fail "not installed"
uninstall_app "$not_utf8"
[ "$(listing "$not_utf8")" = ". ./SAVEGAME " ] || fail "left: $(listing "$not_utf8")"

note "two installed folders: each keeps menu entries of its own, whichever goes first"
first="$WORK/kelmor1" second="$WORK/games/kelmor2"
install_app "$BUILD" "$first"
sums=$(entry_sums)
install_app "$BUILD" "$second"
tag=$(printf '%s' "$second" | sha256sum | cut -c1-8)
tail -n 2 "$WORK/install.log" | head -n 1 |
  grep -qxF "The menu entries are in $menu (kelmor-$tag-*.desktop): look for Kelmor (kelmor2) in your desktop's menu; kelmor-*.desktop start $first." ||
  fail "$(tail -n 2 "$WORK/install.log")"
(cd "$menu" && sha256sum --quiet -c <<<"$sums") >&2 || fail "the first folder's entries changed"
for program in "${entries[@]}"; do
  entry="$menu/kelmor-$tag-$program.desktop" name="${titles[$program]} (kelmor2)"
  [ "$program" != game ] || entry="$menu/kelmor-$tag-game-configuration.desktop"
  grep -qxF "Name=$name" "$entry" && grep -qxF "Path=$second" "$entry" || fail "$entry: $(cat "$entry" 2>&1)"
  icon=$(sed -n 's/^Icon=//p' "$entry")
  [ "${icon#kelmor-$tag-}" != "$icon" ] && [ -f "$XDG_DATA_HOME/icons/hicolor/48x48/apps/$icon.png" ] || fail "$entry: icon $icon"
done
[ "$(ls "$menu" | wc -l)" = $((2 * ${#entries[@]})) ] || fail "menu: $(ls "$menu")"
validate_entries
uninstall_app "$second"
[ "$(entry_sums)" = "$sums" ] || fail "the first folder's entries changed: $(ls "$menu")"
[ "$(find "$XDG_DATA_HOME/icons" -type f | wc -l)" = $((4 * ${#programs[@]})) ] || fail "icons: $(menu_files)"
note "... a second folder named as the kit is told apart by the folder that holds it"
for row in "$WORK/Games/Kelmor|Games" "$WORK/Games/KELMOR PLIX|Games"; do
  folder=${row%|*} set_name=${row#*|}
  install_app "$BUILD" "$folder"
  folder_tag=$(printf '%s' "$folder" | sha256sum | cut -c1-8)
  tail -n 2 "$WORK/install.log" | head -n 1 | grep -qF "look for Kelmor ($set_name) in your desktop's menu" &&
    grep -qxF "Name=Kelmor ($set_name)" "$menu/kelmor-$folder_tag-KELMOR.desktop" ||
    fail "$folder: $(tail -n 2 "$WORK/install.log"); $(grep -h ^Name= "$menu/kelmor-$folder_tag-"*.desktop)"
  uninstall_app "$folder"
done
install_app "$BUILD" "$second"
uninstall_app "$first"
[ "$(find "$menu" -name "kelmor-$tag-*.desktop" | wc -l)" = "${#entries[@]}" ] && [ "$(ls "$menu" | wc -l)" = "${#entries[@]}" ] ||
  fail "the second folder's entries after the first's uninstall: $(ls "$menu")"
note "... and installing the second again, with the first gone, gives it kelmor-*.desktop"
install_app "$BUILD" "$second"
[ "$(ls "$menu" | wc -l)" = "${#entries[@]}" ] && grep -qxF "Path=$second" "$menu/kelmor-KELMOR.desktop" ||
  fail "menu: $(ls "$menu")"
[ "$(find "$XDG_DATA_HOME/icons" -type f | wc -l)" = $((4 * ${#programs[@]})) ] || fail "icons: $(menu_files)"
uninstall_app "$second"
[ -z "$(menu_files)" ] || fail "left in the menu: $(menu_files)"

note "a folder holding links, FIFOs or a tampered record: the uninstall, then the install, end, and take nothing outside it"
t="$WORK/tampered" victim="$WORK/victim"
# A line on the record of $t naming $1 as a file with the content of $2.
record_line() { printf 'file %s %s %s\n' "$(stat -c %s "$2")" "$(sha256sum <"$2" | cut -c1-64)" "$1" >>"$t/.kelmor-install"; }
tamper() {
  case $1 in
    link-in-folder) ln -s "$victim" "$t/lnk" && record_line lnk/notes.txt "$victim/notes.txt" ;;
    icons-link) cp "$t"/icons/*.png "$victim/" && rm -r "$t/icons" && ln -s "$victim" "$t/icons" ;;
    entry-elsewhere) mkdir "$victim/applications" && cp "$menu/kelmor-KELMOR.desktop" "$victim/applications/" &&
                     record_line "$victim/applications/kelmor-KELMOR.desktop" "$menu/kelmor-KELMOR.desktop" ;;
    user-files) record_line THEST.FUJ "$t/THEST.FUJ" && record_line SAVEGAME/SAVE1.DAT "$t/SAVEGAME/SAVE1.DAT" ;;
    fifo-marker) rm "$t/TEST.FUJ" && mkfifo "$t/TEST.FUJ" ;;
    fifo-record) rm "$t/.kelmor-install" && mkfifo "$t/.kelmor-install" ;;
    large-record) head -c 1100000 /dev/zero | tr '\0' '#' >>"$t/.kelmor-install" ;;
    # 5000 lines naming no file of the kit's, and lines that a CMake list would
    # take apart ("[" up to a "]") or join (a "\" at the end) with the next.
    long-record) { echo 'folder ['; seq 5000 | sed "s/.*/file 3 $(printf '%064d' 0) pad&/"
                   grep -v ' KELMOR$' "$t/.kelmor-install"; echo 'x\'; grep ' KELMOR$' "$t/.kelmor-install"; } >"$WORK/record" &&
                 mv "$WORK/record" "$t/.kelmor-install" ;;
    link-temporary) ln -s "$victim/notes.txt" "$t/.kelmor-install.installing" ;;
    fifo-temporary) mkfifo "$t/.kelmor-install.installing" ;;
  esac
}
done_line="Uninstalled from $t. These stay:"
declare -A uninstall_says=([link-in-folder]=$done_line [user-files]=$done_line [long-record]=$done_line
  [link-temporary]=$done_line [fifo-temporary]=$done_line
  [icons-link]="Kept: $t/icons/KELMOR.png, reached through the link $t/icons."
  [entry-elsewhere]="Kept: $victim/applications/kelmor-KELMOR.desktop, which is not in the menu or the icon theme of $XDG_DATA_HOME."
  [fifo-marker]="Kept: $t/TEST.FUJ, no longer the file the install wrote."
  [fifo-record]="Nothing removed: $t/.kelmor-install is not a record of a Kelmor kit install (not a regular file)."
  [large-record]="Nothing removed: $t/.kelmor-install is not a record of a Kelmor kit install (")
# What the install then refuses, or nothing where it installs.
declare -A install_refuses=([icons-link]="  $t/icons (a link, where the kit writes its icons)"
  [fifo-marker]="  $t/TEST.FUJ (not a regular file)" [fifo-record]="  $t/.kelmor-install (not a regular file)"
  [large-record]=" bytes, more than any install writes)")
# The user's files the rows aim at: elsewhere, and a stock file and a save in the folder.
decoys() { find "$victim" "$t/THEST.FUJ" "$t/SAVEGAME" -type f -exec sha256sum {} + | sort; }
for row in link-in-folder icons-link entry-elsewhere user-files fifo-marker fifo-record large-record long-record \
           link-temporary fifo-temporary; do
  fresh_menu
  rm -rf "$t" "$victim" && mkdir "$victim" && printf 'notes' >"$victim/notes.txt"
  install_app "$BUILD" "$t"
  printf 'KELPLIX\r\n' >"$t/THEST.FUJ" && printf 'save' >"$t/SAVEGAME/SAVE1.DAT"
  tamper "$row"
  before=$(decoys)
  uninstall_app "$t"
  grep -qF "${uninstall_says[$row]}" "$WORK/uninstall.log" || fail "$row: the uninstall said: $(cat "$WORK/uninstall.log")"
  [ "$(decoys)" = "$before" ] || fail "$row: the uninstall took the user's files: $(decoys)"
  # The kit's own files go, but where nothing is removed.
  case ${uninstall_says[$row]} in Nothing*) [ -x "$t/KELMOR" ] ;; *) [ ! -e "$t/KELMOR" ] ;; esac ||
    fail "$row: KELMOR after the uninstall: $(cat "$WORK/uninstall.log")"
  if [ -n "${install_refuses[$row]:-}" ]; then
    refused_install "$t"
    grep -qF "${install_refuses[$row]}" "$WORK/install.log" || fail "$row: the install said: $(cat "$WORK/install.log")"
  else
    timeout 120 cmake --install "$BUILD" --prefix "$t" >"$WORK/install.log" 2>&1 || fail "$row: $(cat "$WORK/install.log")"
    [ -f "$t/.kelmor-install" ] && [ -z "$(find "$t" -maxdepth 1 -name "*.installing")" ] || fail "$row: the record: $(ls -la "$t")"
  fi
  [ "$(decoys)" = "$before" ] || fail "$row: the install wrote on the user's files: $(decoys)"
done
rm -rf "$t"
echo "PASS"
