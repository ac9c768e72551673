#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows release as a user gets it, under Wine in a fresh prefix where a
# stand-in DOSBox is installed: the setup program installing silently (the
# folder, the same as the zip's; the Start-menu shortcuts; the entry in
# Programs and Features; DOSBox.exe and its DLLs copied; the record of what
# it brought), KELMOR.EXE starting the copied dosbox.exe from the installed
# folder, and the silent uninstall, which keeps the saved games, the kit's
# installed data and every file that changed since the install, and lists
# them. The setup never writes over, and its uninstaller never removes, a
# file it did not bring: DOSBox's own folder is refused, the user's own
# DOSBox in another folder is kept, and an uninstaller copied among the
# user's files removes nothing. A second folder, installed through the
# setup's pages, gets a Start-menu folder and an entry of its own, and the
# setup's last page opens README.txt.
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
entries='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall'
uninstall="$entries\\KelmorKit"
# The shortcuts in Start-menu folder $1, each with the program it starts.
shortcuts() {
  local menu link
  menu=$(find "$WINEPREFIX/drive_c/users" -type d -path "*/Start Menu/Programs/$1")
  [ -n "$menu" ] || return 0
  for link in "$menu"/*.lnk; do
    printf '%s -> %s\n' "${link##*/}" "$(tr -d '\0' <"$link" | grep -aoi '[a-z]:\\[^:]*\.exe' | head -n 1)"
  done
}
# The shortcuts that lead to installed folder $1.
expected_shortcuts() {
  printf '%s\n' "Kelmor Configuration.lnk -> $1\\_Configuration.exe" \
    "Kelmor Plix Configuration.lnk -> $1\\_Configuration.exe" "Kelmor Plix Mapper.lnk -> $1\\_Mapper.exe" \
    "Kelmor Plix.lnk -> $1\\_KelmorPlix.exe" "Kelmor.lnk -> $1\\KELMOR.EXE"
}
# The uninstall's list of what stayed in folder $1, a line under a heading
# as "heading|line", sorted: the lines of a heading come in any order.
what_stayed() {
  iconv -f UTF-16 -t UTF-8 "$1/Uninstalled - what stayed.txt" | tr -d '\r' |
    awk '/^  / { print heading "|" substr($0, 3); next } /./ { heading = $0; print }' | LC_ALL=C sort
}
# Waits until the uninstall of folder $1, whose entry in Programs and Features
# is $2, is done: the uninstaller goes on from a copy of itself, so that it
# can remove itself.
wait_uninstalled() {
  for _ in $(seq 150); do
    [ ! -e "$1/Uninstall.exe" ] && [ -z "$(registry_values "$2")" ] && return
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
folder=$(windows_path "$app")
menu_shortcuts=$(expected_shortcuts "$folder")
[ "$(shortcuts "Kelmor Kit")" = "$menu_shortcuts" ] || fail "shortcuts: $(shortcuts "Kelmor Kit")"
tr -d '\0' <"$menu/Kelmor Configuration.lnk" | grep -qa "kel1" ||
  fail "the game's configuration shortcut does not start _Configuration.exe kel1"
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

note "a second folder that holds the user's own DOSBox, installed through the setup's pages"
kit_b="$APPS/KitB"
mkdir -p "$kit_b"
echo "the user's DOSBox" >"$kit_b/DOSBox.exe"
echo "the user's SDL" >"$kit_b/SDL.dll"
echo notes >"$kit_b/notes.txt"
kit_b_before=$(state "$kit_b")
app_before=$(state "$app") app_layout=$(layout "$app")
wine 'C:\setup.exe' '/D=C:\KitB' &
setup_pid=$!
# Welcome, license, folder, DOSBox (Install); once installed, Finish on the
# last page, where "Show README.txt" is checked. (The caption gains a blank
# after the first page.)
for _ in 1 2 3 4; do
  wait_window "Kelmor Kit Setup ?" >/dev/null
  sleep 0.5
  xdotool key --clearmodifiers Return
done
for _ in $(seq 100); do [ -n "$(registry_values "$entries\\KelmorKit (KitB)")" ] && break; sleep 0.2; done
sleep 1
xdotool key --clearmodifiers Return
wait_exit "$setup_pid" 20
[ "$EXIT_CODE" = 0 ] || fail "the setup into C:\\KitB ended with $EXIT_CODE"
wait_window "README.txt - Notepad" 10 >/dev/null
cmp -s "$kit_b/SDL_net.dll" "$dosbox_home/SDL_net.dll" || fail "SDL_net.dll was not copied"
[ "$(cat "$kit_b/DOSBox.exe")" = "the user's DOSBox" ] || fail "the setup wrote over the user's DOSBox"
[ "$(shortcuts "Kelmor Kit (KitB)")" = "$(expected_shortcuts 'C:\KitB')" ] ||
  fail "the second folder's shortcuts: $(shortcuts "Kelmor Kit (KitB)")"
[ "$(shortcuts "Kelmor Kit")" = "$menu_shortcuts" ] || fail "the first folder's shortcuts: $(shortcuts "Kelmor Kit")"
[ "$(registry_values "$entries\\KelmorKit (KitB)" | grep -e ^DisplayName= -e ^InstallLocation=)" = \
  $'DisplayName=Kelmor Kit (KitB)\nInstallLocation=C:\\KitB' ] ||
  fail "the second folder's entry: $(registry_values "$entries\\KelmorKit (KitB)")"
[ "$(registry_values "$uninstall")" = "$expected" ] || fail "the first folder's entry: $(registry_values "$uninstall")"

note "a third folder of the same name: its Start-menu folder and entry are numbered"
wine 'C:\setup.exe' /S '/D=C:\Other\KitB' || fail "the install into C:\\Other\\KitB failed"
[ "$(shortcuts "Kelmor Kit (KitB 2)")" = "$(expected_shortcuts 'C:\Other\KitB')" ] ||
  fail "the third folder's shortcuts: $(shortcuts "Kelmor Kit (KitB 2)")"
wine 'C:\Other\KitB\Uninstall.exe' /S
wait_uninstalled "$APPS/Other/KitB" "$entries\\KelmorKit (KitB 2)"

note "its silent uninstall keeps the user's DOSBox and the first folder, and lists what stayed"
wine 'C:\KitB\Uninstall.exe' /S
wait_uninstalled "$kit_b" "$entries\\KelmorKit (KitB)"
# SAVEGAME, empty, stays as in every installed folder.
[ "$(state "$kit_b" | grep -v '/Uninstalled - what stayed.txt$')" = "$(printf '%s\nSAVEGAME/' "$kit_b_before" | LC_ALL=C sort)" ] ||
  fail "left in C:\\KitB: $(layout "$kit_b" | tr '\n' ' ')"
[ "$(what_stayed "$kit_b")" = "$(LC_ALL=C sort <<'LIST'
The programs and the other files the setup brought are removed from C:\KitB. These stay:
Your saved games:
Your saved games:|C:\KitB\SAVEGAME (no files)
Other files and folders:
Other files and folders:|C:\KitB\DOSBox.exe
Other files and folders:|C:\KitB\SDL.dll
Other files and folders:|C:\KitB\notes.txt
To remove these too: copy SAVEGAME elsewhere if you want to keep your saved games, then delete the folder C:\KitB.
LIST
)" ] || fail "the list of what stayed in C:\\KitB: $(what_stayed "$kit_b")"
[ -z "$(shortcuts "Kelmor Kit (KitB)")" ] && [ -z "$(registry_values "$entries\\KelmorKit (KitB)")" ] ||
  fail "the second folder's shortcuts or entry stayed"
[ "$(state "$app")" = "$app_before" ] || fail "the uninstall of C:\\KitB changed the first folder"
[ "$(shortcuts "Kelmor Kit")" = "$menu_shortcuts" ] && [ "$(registry_values "$uninstall")" = "$expected" ] ||
  fail "the uninstall of C:\\KitB took the first folder's shortcuts or entry"

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

note "the silent uninstall: what it brought goes; saved games, the kit's data and changed files stay, listed"
echo save >"$app/SAVEGAME/KELMOR1.SAV"
echo usa >"$app/DATA/USA.BIN"
echo kit >"$app/KELKIT.EXE"
printf 'KELPLIX\r\n' >"$app/THEST.FUJ"
echo image >"$app/Kelmor.iso"
wine reg add 'HKCU\Software\VB and VBA Program Settings\kel1\kel1' /v cycles /d 20000 /f >/dev/null 2>&1
echo "the user's own notes" >>"$app/README.txt"
echo SDL >"$app/SDL.dll"  # the size it was installed with, other bytes
wine "$folder\\Uninstall.exe" /S
wait_uninstalled "$app" "$uninstall"
left=$(layout "$app" | tr '\n' ' ')
[ "$left" = "DATA/ DATA/USA.BIN KELKIT.EXE Kelmor.iso README.txt SAVEGAME/ SAVEGAME/KELMOR1.SAV SDL.dll THEST.FUJ Uninstalled - what stayed.txt dosbox.conf " ] ||
  fail "left after the uninstall: $left"
settings='Software\VB and VBA Program Settings'
[ "$(what_stayed "$app")" = "$(LC_ALL=C sort <<LIST
The programs and the other files the setup brought are removed from $folder. These stay:
Your saved games:
Your saved games:|$folder\\SAVEGAME (1 file)
The kit's files, which the kit launcher copied from its CD:
The kit's files, which the kit launcher copied from its CD:|$folder\\DATA (1 file)
The kit's files, which the kit launcher copied from its CD:|$folder\\KELKIT.EXE
The kit's files, which the kit launcher copied from its CD:|$folder\\THEST.FUJ
CD images:
CD images:|$folder\\Kelmor.iso
Written by the launchers and DOSBox:
Written by the launchers and DOSBox:|$folder\\dosbox.conf
Changed since the setup brought them:
Changed since the setup brought them:|$folder\\README.txt
Changed since the setup brought them:|$folder\\SDL.dll
The settings, in the registry (every folder of the kit you install uses them):
The settings, in the registry (every folder of the kit you install uses them):|HKEY_CURRENT_USER\\$settings\\kel1 (the game's; Kelmor's earlier Windows programs use them too)
To remove these too: copy SAVEGAME elsewhere if you want to keep your saved games, then delete the folder $folder.
To remove the settings: delete their keys with the Registry Editor (regedit), or in a command prompt:
To remove the settings: delete their keys with the Registry Editor (regedit), or in a command prompt:|reg delete "HKCU\\$settings\\kel1" /f
LIST
)" ] || fail "the list of what stayed: $(what_stayed "$app")"
[ "$(tail -n 1 "$app/README.txt")" = "the user's own notes" ] && [ "$(cat "$app/SDL.dll")" = SDL ] ||
  fail "the uninstall changed the files the user changed"
[ ! -e "$menu" ] || fail "the shortcuts stayed: $(ls "$menu")"
[ -z "$(registry_values "$uninstall")" ] || fail "the uninstall entry stayed"
[ -z "$(registry_values 'HKCU\Software\Kelmor Kit')" ] || fail "the kit's own key stayed"
[ "$(state "$dosbox_home")" = "$dosbox_before" ] || fail "the installed DOSBox was touched"
echo "PASS"
