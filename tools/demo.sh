#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs an application folder into build/demo/app, generates a sample
# game CD whose DOS program greets the player and waits for a key, maps the
# CD to E: through a demo-private drive map, sets the demo's "kel1" settings
# to a window, and runs KELMOR: the launcher window shows, then DOSBox opens
# with the greeting. Without a display the run happens on a private Xvfb, a
# screenshot of the emulator's window is saved and a key ends it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/linux"
demo="$root/build/demo"
app="$demo/app"
cd_folder="$demo/cd"

rm -rf "$demo"
mkdir -p "$cd_folder/KELMOR" "$demo/config/kelmor" "$demo/share"
# Everything the demo writes stays below build/demo: its menu entries too.
export XDG_CONFIG_HOME="$demo/config" XDG_DATA_HOME="$demo/share" XDG_CACHE_HOME="$demo/cache"
# What the install says (where its menu entries went) is about the demo's own
# folders, not the desktop's: it goes into the log, shown only on a failure.
cmake --install "$build" --prefix "$app" >"$demo/install.log" 2>&1 ||
  { cat "$demo/install.log" >&2; exit 1; }

cat >"$demo/greeting.asm" <<'ASM'
        org 100h
        mov ax, 0003h           ; text mode 3: a clear screen
        int 10h
        mov ah, 09h
        mov dx, greeting
        int 21h
        xor ah, ah              ; wait for a key
        int 16h
        mov ax, 4C00h
        int 21h
greeting db 13, 10, 13, 10
        db '      +--------------------------------------------------+', 13, 10
        db '      |                                                  |', 13, 10
        db '      |   Hello from the Kelmor compatibility kit!       |', 13, 10
        db '      |                                                  |', 13, 10
        db '      |   This program lies on the sample CD, drive E:,  |', 13, 10
        db '      |   and the save folder is drive B:.               |', 13, 10
        db '      |                                                  |', 13, 10
        db '      |   Press any key to leave DOSBox.                 |', 13, 10
        db '      |                                                  |', 13, 10
        db '      +--------------------------------------------------+', 13, 10, '$'
ASM
nasm -f bin -o "$cd_folder/KELMOR/KELMOR.EXE" "$demo/greeting.asm"
printf 'VIGNET' >"$cd_folder/KELMOR/VIGNET.DAT"
printf 'INTRO' >"$cd_folder/KELMOR/INTRO.DAT"
printf '[kel1]\nfullscreen=false\n' >"$demo/config/kelmor/kel1.ini"
drive_map() {
  { printf '[options]\ndetect=no\n'; printf '%s\n' "$@"; printf '[drives]\nE=%s\n' "$cd_folder"; } \
    >"$demo/config/kelmor/drives.ini"
}
drive_map

# What the demo is and how to open it again: its settings, drive map and
# menu entries are its own, so neither the desktop's menu nor the player's
# settings change.
echo "The demo: a sample game CD on E:, played by the kit installed into $app."
echo "Its settings, drive map and menu entries stay in $demo: your desktop's menu"
echo "and your own settings do not change."
say_how_to_open() {
  echo "Start the demo again with:"
  echo "  XDG_CONFIG_HOME=$demo/config $app/KELMOR"
  echo "To play Kelmor from its CD, with the kit in your desktop's menu: make install"
  echo "(README.md, \"Install\" and \"Give the kit its CD\")."
}

if [ -n "${DISPLAY:-}" ]; then
  echo "Starting KELMOR: its window, then DOSBox with the greeting (press a key there to end)."
  "$app/KELMOR"
  say_how_to_open
  exit 0
fi

echo "No display: running on a private Xvfb."
source "$root/tests/gui/lib.sh"
WORK="$demo"
# The emulator, bounded in time, its process group recorded for the end.
cat >"$demo/emulator" <<SH
#!/bin/sh
echo \$\$ >"$demo/emulator.pid"
export SDL_AUDIODRIVER=dummy
exec timeout 60 dosbox "\$@" >"$demo/emulator.log" 2>&1
SH
chmod +x "$demo/emulator"
drive_map "emulator=$demo/emulator"
end_emulator() { [ -f "$demo/emulator.pid" ] && kill -KILL -- "-$(cat "$demo/emulator.pid")" 2>/dev/null || true; }
trap 'end_emulator; stop_display' EXIT
start_display 1024x768

"$app/KELMOR" &
launcher=$(wait_window Kelmor)
import -window "$launcher" "$demo/launcher.png" 2>/dev/null || true
wait $!
emulator_window=$(wait_window 'DOSBox.*' 20)
sleep 2  # the greeting is on screen once the program waits for its key
import -window "$emulator_window" "$demo/screenshot.png"
press_key "$emulator_window" space
for _ in $(seq 100); do
  kill -0 "$(cat "$demo/emulator.pid")" 2>/dev/null || break
  sleep 0.1
done
echo "Screenshot of the emulator's window: $demo/screenshot.png"
say_how_to_open
