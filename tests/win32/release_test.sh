#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows release as a user gets it, under Wine in a fresh prefix where a
# stand-in DOSBox is installed: the setup program installing silently (the
# folder, the same as the zip's; the Start-menu shortcuts; the entry in
# Programs and Features; DOSBox.exe and its DLLs copied; the record of what
# it brought), KELMOR.EXE starting the copied dosbox.exe from the installed
# folder, and the silent uninstall, which keeps the saved games, the kit's
# installed data and every file that changed since the install. The setup
# never writes over, and its uninstaller never removes, a file it did not
# bring: DOSBox's own folder is refused, the user's own DOSBox in another
# folder is kept, and an uninstaller copied among the user's files removes
# nothing.
#   release_test.sh <zip> <setup program> <bin folder> <version>
set -euo pipefail
zip=$1 setup=$2
BIN=$(cd "$3" && pwd)
version=$4
export KELMOR_HOST=wine
source "$(dirname "$0")/../gui/lib.sh"
[ -f "$zip" ] && [ -f "$setup" ] || fail "no release: $zip, $setup (make windows-release)"
make_workspace
start_display 1024x768
cd "$WORK"

# Every file and folder below $1, one a line, folders ending in "/".
layout() { (cd "$1" && find . -mindepth 1 \( -type d -printf '%P/\n' -o -printf '%P\n' \) | LC_ALL=C sort); }
# The same with each file's checksum.
state() { (cd "$1" && { find . -mindepth 1 -type d -printf '%P/\n'; find . -type f -exec md5sum {} +; } | LC_ALL=C sort); }
# What the record keeps of a file: its size and CRC-32, as the gzip trailer has it.
fingerprint() {
  printf '%s %s' "$(stat -c %s "$1")" \
    "$(gzip -c <"$1" | tail -c 8 | head -c 4 | od -An -tx4 | tr -d ' ' | tr a-f A-F)"
}
uninstall='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\KelmorKit'
# Waits until the uninstall of folder $1 is done: the uninstaller goes on from
# a copy of itself, so that it can remove itself.
wait_uninstalled() {
  for _ in $(seq 150); do
    [ ! -e "$1/Uninstall.exe" ] && [ -z "$(registry_values "$uninstall")" ] && return
    sleep 0.2
  done
  fail "the uninstall of $1 did not end"
}

note "a DOSBox installed in a folder of its own, known by its uninstall entry"
# DOSBox is a 32-bit program: on 64-bit Windows its entry is in the
# registry's 32-bit view.
view=()
[ "$WINEARCH" = win64 ] && view=(/reg:32)
dosbox_home="$APPS/Emulators/DOSBox-0.74-3"
mkdir -p "$dosbox_home"
stand_in "$dosbox_home/DOSBox.exe"
echo sdl >"$dosbox_home/SDL.dll"
echo net >"$dosbox_home/SDL_net.dll"
echo "DOSBox's own" >"$dosbox_home/README.txt"
echo "DOSBox's uninstaller" >"$dosbox_home/uninstall.exe"
entry='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\DOSBox-0.74-3'
wine reg add "$entry" /v DisplayName /d "DOSBox 0.74-3" /f "${view[@]}" >/dev/null 2>&1
wine reg add "$entry" /v UninstallString /d "$(windows_path "$dosbox_home")\\uninstall.exe" /f \
  "${view[@]}" >/dev/null 2>&1

cp "$setup" "$APPS/setup.exe"
note "a folder the ANSI code page cannot hold: the silent install stops before it writes"
code=0
LC_ALL=C.UTF-8 wine 'C:\setup.exe' /S '/D=C:\Łukasz\Kelmor' || code=$?
[ "$code" = 2 ] || fail "the setup into C:\\Łukasz\\Kelmor ended with $code"
[ -z "$(find "$APPS" -maxdepth 1 -name '*ukasz')" ] || fail "the setup made C:\\Łukasz"

note "DOSBox's own folder is refused: its README.txt and uninstall.exe are no files of the kit's"
dosbox_before=$(state "$dosbox_home")
code=0
wine 'C:\setup.exe' /S "/D=$(windows_path "$dosbox_home")" || code=$?
[ "$code" = 2 ] || fail "the setup into DOSBox's folder ended with $code"
[ "$(state "$dosbox_home")" = "$dosbox_before" ] || fail "the setup changed DOSBox's folder"

note "the silent install: the zip's folder, DOSBox copied, shortcuts, Programs and Features"
wine 'C:\setup.exe' /S || fail "the silent install failed ($?)"
app=$(find "$WINEPREFIX/drive_c/users" -maxdepth 6 -type d -path '*/AppData/Local/Programs/Kelmor Kit')
[ -n "$app" ] || fail "nothing installed below the user's AppData\\Local\\Programs"
cmake -E chdir "$WORK" cmake -E tar xf "$zip"
for name in Uninstall.exe Uninstall.ini DOSBox.exe SDL.dll SDL_net.dll; do echo "$name"; done >"$WORK/brought"
diff <(layout "$WORK/Kelmor Kit") <(layout "$app" | grep -vxFf "$WORK/brought") ||
  fail "the installed folder differs from the zip's"
for file in KELMOR.EXE _KelmorPlix.exe _Mapper.exe _Configuration.exe; do
  cmp -s "$app/$file" "$BIN/$file" || fail "$file is not the one built"
done
for folder in SAVEGAME DATA PCMAP/USA vantrel MUSIC/MAP_105; do
  [ -d "$app/$folder" ] || fail "no folder $folder"
done
[ "$(od -An -c "$app/TEST.FUJ" | tr -s ' ')" = " K E L P L I X \r \n" ] ||
  fail "TEST.FUJ: $(od -c "$app/TEST.FUJ")"
[ -z "$(grep -v $'\r$' "$app/README.txt")" ] || fail "README.txt has lines without CR LF"
for file in DOSBox.exe SDL.dll SDL_net.dll; do
  cmp -s "$app/$file" "$dosbox_home/$file" || fail "$file was not copied from DOSBox"
done
menu=$(find "$WINEPREFIX/drive_c/users" -type d -path '*/Start Menu/Programs/Kelmor Kit')
[ "$(LC_ALL=C ls "$menu" | tr '\n' '|')" = "Kelmor Configuration.lnk|Kelmor Plix Configuration.lnk|Kelmor Plix Launcher.lnk|Kelmor Plix Mapper Launcher.lnk|Kelmor for Windows.lnk|" ] ||
  fail "shortcuts: $(ls "$menu")"
grep -qaF "Kelmor Kit\\_Mapper.exe" "$menu/Kelmor Plix Mapper Launcher.lnk" ||
  fail "the mapper's shortcut does not lead to _Mapper.exe"
tr -d '\0' <"$menu/Kelmor Configuration.lnk" | grep -qaF "_Configuration.exe" &&
  tr -d '\0' <"$menu/Kelmor Configuration.lnk" | grep -qa "kel1" ||
  fail "the game's configuration shortcut does not start _Configuration.exe kel1"
folder=$(windows_path "$app")
expected="DisplayIcon=$folder\\KELMOR.EXE,0
DisplayName=Kelmor Kit
DisplayVersion=$version
InstallLocation=$folder
QuietUninstallString=\"$folder\\Uninstall.exe\" /S
UninstallString=\"$folder\\Uninstall.exe\""
[ "$(registry_values "$uninstall")" = "$expected" ] ||
  fail "uninstall entry: $(registry_values "$uninstall")"
record=$(iconv -f UTF-16 -t UTF-8 "$app/Uninstall.ini" | tr -d '\r')
files=$(sed -n '/^\[Files\]$/,/^\[/s/=.*//p' <<<"$record" | LC_ALL=C sort | tr '\n' ' ')
[ "$files" = "COPYING.txt DOSBox.exe KELMOR.EXE README.txt SDL.dll SDL_net.dll TEST.FUJ THIRD-PARTY-NOTICES.txt Uninstall.exe _Configuration.exe _KelmorPlix.exe _Mapper.exe " ] ||
  fail "the record names: $files"
for name in $files; do
  grep -qxF "$name=$(fingerprint "$app/$name")" <<<"$record" || fail "the record of $name: $record"
done

note "a second folder that holds the user's own DOSBox: kept by its install and its uninstall"
kit_b="$APPS/KitB"
mkdir -p "$kit_b"
echo "the user's DOSBox" >"$kit_b/DOSBox.exe"
echo "the user's SDL" >"$kit_b/SDL.dll"
echo notes >"$kit_b/notes.txt"
kit_b_before=$(state "$kit_b")
app_before=$(state "$app") app_layout=$(layout "$app")
wine 'C:\setup.exe' /S '/D=C:\KitB' || fail "the install into C:\\KitB failed"
cmp -s "$kit_b/SDL_net.dll" "$dosbox_home/SDL_net.dll" || fail "SDL_net.dll was not copied"
wine 'C:\KitB\Uninstall.exe' /S
wait_uninstalled "$kit_b"
# SAVEGAME, empty, stays as in every installed folder.
[ "$(state "$kit_b")" = "$(printf '%s\nSAVEGAME/' "$kit_b_before" | LC_ALL=C sort)" ] || fail "left in C:\\KitB: $(layout "$kit_b" | tr '\n' ' ')"
[ "$(state "$app")" = "$app_before" ] || fail "the uninstall of C:\\KitB changed the first folder"

note "installing again over the first folder, where every file is as the setup brought it"
wine 'C:\setup.exe' /S || fail "the second install failed"
[ "$(layout "$app")" = "$app_layout" ] || fail "the second install left: $(layout "$app" | tr '\n' ' ')"
[ "$(registry_values "$uninstall")" = "$expected" ] ||
  fail "uninstall entry after the second install: $(registry_values "$uninstall")"

note "KELMOR.EXE from the installed folder starts the copied dosbox.exe"
mkdir -p "$WORK/cd/KELMOR"
echo marker >"$WORK/cd/KELMOR/VIGNET.DAT"
make_drive_map "E=$WORK/cd"
run_program "$app" KELMOR &
pid=$!
wait_exit "$pid" 20
[ "$EXIT_CODE" = 0 ] || fail "KELMOR.EXE exit code $EXIT_CODE"
expect_started "$app/dosbox" -noconsole
rm "$app"/dosbox-*  # the stand-in's records

note "an uninstaller copied among the user's files, copies of the kit's among them, removes nothing"
mine="$APPS/Mine"
mkdir -p "$mine/DATA" "$mine/SAVEGAME"
cp "$app/KELMOR.EXE" "$app/README.txt" "$app/DOSBox.exe" "$app/SDL.dll" "$app/Uninstall.exe" "$mine/"
mine_before=$(state "$mine")
wine 'C:\Mine\Uninstall.exe' /S '_?=C:\Mine'  # runs in place, and Wine waits for it
[ "$(state "$mine")" = "$mine_before" ] || fail "left in C:\\Mine: $(layout "$mine" | tr '\n' ' ')"
[ "$(registry_values "$uninstall")" = "$expected" ] && [ -e "$menu" ] ||
  fail "the uninstaller in C:\\Mine removed the installation's entry or shortcuts"

note "the silent uninstall: what it brought goes; saved games, the kit's data and changed files stay"
echo save >"$app/SAVEGAME/KELMOR1.SAV"
echo usa >"$app/DATA/USA.BIN"
echo kit >"$app/KELKIT.EXE"
printf 'KELPLIX\r\n' >"$app/THEST.FUJ"
echo "the user's own notes" >>"$app/README.txt"
echo SDL >"$app/SDL.dll"  # the size it was installed with, other bytes
wine "$folder\\Uninstall.exe" /S
wait_uninstalled "$app"
left=$(layout "$app" | tr '\n' ' ')
[ "$left" = "DATA/ DATA/USA.BIN KELKIT.EXE README.txt SAVEGAME/ SAVEGAME/KELMOR1.SAV SDL.dll THEST.FUJ dosbox.conf " ] ||
  fail "left after the uninstall: $left"
[ "$(tail -n 1 "$app/README.txt")" = "the user's own notes" ] && [ "$(cat "$app/SDL.dll")" = SDL ] ||
  fail "the uninstall changed the files the user changed"
[ ! -e "$menu" ] || fail "the shortcuts stayed: $(ls "$menu")"
[ -z "$(registry_values "$uninstall")" ] || fail "the uninstall entry stayed"
[ -z "$(registry_values 'HKCU\Software\Kelmor Kit')" ] || fail "the kit's own key stayed"
[ "$(state "$dosbox_home")" = "$dosbox_before" ] || fail "the installed DOSBox was touched"
echo "PASS"
