#!/usr/bin/env bash
# Lays out a demo application folder and a sample game CD under build/demo,
# maps the CD to E: through a demo-private drive map and runs KELMOR. The
# stand-in emulator prints the dosbox.conf it was handed. Without a display
# the run happens on a private Xvfb and a screenshot is saved.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin="$root/build/linux/bin"
demo="$root/build/demo"
app="$demo/app"
cd_folder="$demo/cd"

rm -rf "$demo"
mkdir -p "$app/SAVEGAME" "$cd_folder/KELMOR" "$demo/config/kelmor"
cp "$bin/KELMOR" "$app/"
cat >"$app/dosbox.exe" <<'SH'
#!/bin/sh
# Stand-in for DOSBox: shows what it was given.
echo "== dosbox.exe started in $(pwd) with: $*"
echo "== dosbox.conf it was handed:"
tr -d '\r' <dosbox.conf
touch .demo-emulator-done
SH
chmod +x "$app/dosbox.exe"
printf 'VIGNET' >"$cd_folder/KELMOR/VIGNET.DAT"
printf 'INTRO' >"$cd_folder/KELMOR/INTRO.DAT"
printf 'MZ placeholder for the game\r\n' >"$cd_folder/KELMOR/KELMOR.EXE"
printf '[options]\ndetect=no\n\n[drives]\nE=%s\n' "$cd_folder" >"$demo/config/kelmor/drives.ini"
export XDG_CONFIG_HOME="$demo/config"

wait_for() { for _ in $(seq 100); do [ -e "$1" ] && return 0; sleep 0.1; done; return 1; }

if [ -n "${DISPLAY:-}" ]; then
  "$app/KELMOR"
  wait_for "$app/.demo-emulator-done" || echo "the stand-in emulator did not run" >&2
  exit 0
fi

echo "No display: running on a private Xvfb."
source "$root/tests/gui/lib.sh"
WORK="$demo"
trap 'stop_display' EXIT
start_display 1024x768
"$app/KELMOR" &
pid=$!
window=$(wait_window Kelmor)
sleep 0.3
import -window "$window" "$demo/screenshot.png"
wait "$pid"
wait_for "$app/.demo-emulator-done" || echo "the stand-in emulator did not run" >&2
echo "Screenshot of the launcher window: $demo/screenshot.png"
