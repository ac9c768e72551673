#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The package that `make deb` built, on a fresh Debian, as root:
#   ../shared/tools/fresh-machine-test bash -c 'make deb && tests/deb/install_on_debian.sh'
# apt-get installs it (and DOSBox with it); a new user, with a CD image
# mapped to E: in their drive map, starts the game by the Exec line of the
# package's menu entry on a private Xvfb: the program lays out the user's
# own folder, writes a dosbox.conf that mounts E:, which the bridge gives
# DOSBox as the image, and DOSBox shows the CD's program
# (build/deb/screenshot.png). The package installed again keeps the user's
# saved game, nothing is written below /usr, and `apt-get remove` leaves
# the user's folder as it was.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }
note() { echo "--- $*"; }
[ "$(id -u)" -eq 0 ] || fail "run as root (it installs the package and adds a user)"
deb=$(ls "$root"/build/deb/kelmor-kit_*.deb)
shot="$root/build/deb/screenshot.png" log="$root/build/deb/apt.log"
export DEBIAN_FRONTEND=noninteractive
apt() { apt-get -y -q "$@" >>"$log" 2>&1 || fail "apt-get $*: $(tail -n 20 "$log")"; }

note "apt-get installs $(basename "$deb") and an emulator"
apt install "$deb"
[ -x /usr/bin/dosbox ] || [ -x /usr/bin/dosbox-staging ] || [ -x /usr/bin/dosbox-x ] ||
  fail "no emulator installed with the package"
# What the test itself uses: a display, its windows, a DOS program on a CD image.
apt install --no-install-recommends xvfb xauth xdotool x11-utils imagemagick nasm xorriso

note "a new user, with a CD image on E: and a window instead of full screen"
useradd --create-home --shell /bin/bash ann
home=/home/ann app=/home/ann/.local/share/kelmor
cd_folder=$(mktemp -d) && mkdir "$cd_folder/KELMOR"
cat >"$cd_folder/greeting.asm" <<'ASM'
        org 100h
        mov ax, 0003h
        int 10h
        mov ah, 09h
        mov dx, greeting
        int 21h
        xor ah, ah
        int 16h
        mov ax, 4C00h
        int 21h
greeting db 13, 10, '   Kelmor from the Debian package: the CD image is on E:.', 13, 10, '$'
ASM
nasm -f bin -o "$cd_folder/KELMOR/KELMOR.EXE" "$cd_folder/greeting.asm"
rm "$cd_folder/greeting.asm"
printf 'VIGNET' >"$cd_folder/KELMOR/VIGNET.DAT" && printf 'INTRO' >"$cd_folder/KELMOR/INTRO.DAT"
mkdir -p "$home/cds" "$home/.config/kelmor"
xorriso -as mkisofs -quiet -V KELMOR -o "$home/cds/Kelmor.iso" "$cd_folder" && rm -r "$cd_folder"
printf '[options]\ndetect=no\n[drives]\nE=%s\n' "$home/cds/Kelmor.iso" \
  >"$home/.config/kelmor/drives.ini"
printf '[kel1]\nfullscreen=false\n' >"$home/.config/kelmor/kel1.ini"
chown -R ann: "$home"
[ ! -e "$app" ] || fail "$app before the first start"

note "the menu entry's Exec line, as ann, on a private Xvfb"
entry=/usr/share/applications/kelmor-KELMOR.desktop
exec_line=$(sed -n 's/^Exec=//p' "$entry")
stamp=$(mktemp) && sleep 1
su - ann -c "$(printf 'bash %q %q %q' "$root/tests/deb/start_from_menu.sh" "$exec_line" \
                 "$home/screenshot.png")" || fail "the start from the menu entry (above)"
mv "$home/screenshot.png" "$shot"
# The launcher's dosbox.conf mounts drive E:, and the bridge hands DOSBox its
# copy, which mounts the image there.
grep -q '^MOUNT E E:\\ -t cdrom' "$app/dosbox.conf" ||
  fail "dosbox.conf mounts no E: $(cat "$app/dosbox.conf")"
grep -qxF "  IMGMOUNT E \"$home/cds/Kelmor.iso\" -t iso" "$home/emulator.txt" ||
  fail "DOSBox mounts no image on E: $(cat "$home/emulator.txt")"
[ "$(readlink "$app/KELMOR")" = /usr/lib/kelmor-kit/KELMOR ] &&
  [ "$(readlink "$app/dosbox")" = /usr/lib/kelmor-kit/dosbox ] &&
  [ -d "$app/SAVEGAME" ] && [ "$(stat -c %U "$app")" = ann ] ||
  fail "ann's folder: $(ls -la "$app")"
written=$(find /usr -newer "$stamp" -not -type d 2>/dev/null | head)
[ -z "$written" ] || fail "written below /usr: $written"

note "the package installed again keeps ann's folder, saved game and settings"
printf 'save' >"$app/SAVEGAME/SAVE1.DAT" && chown ann: "$app/SAVEGAME/SAVE1.DAT"
listing() {
  (cd "$app" && find . -printf '%p %y %l\n' | sort && sha256sum SAVEGAME/SAVE1.DAT dosbox.conf)
  cat "$home/.config/kelmor/kel1.ini"
}
before=$(listing)
apt install --reinstall "$deb"
[ "$(listing)" = "$before" ] || fail "ann's folder changed: $(diff <(echo "$before") <(listing))"

note "apt-get remove leaves ann's folder as it was"
apt remove kelmor-kit
[ ! -e /usr/lib/kelmor-kit ] && [ ! -e "$entry" ] || fail "the package's files stayed"
[ "$(listing)" = "$before" ] || fail "ann's folder changed: $(diff <(echo "$before") <(listing))"
echo "Screenshot of ann's start from the menu: $shot"
echo "PASS"
