#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times the Windows programs under Wine, headless on a private Xvfb, with
# hyperfine, in a clone of the tests' template prefix kept warm (one
# wineserver for all runs). It times the set the Windows tests of this machine
# run (tools/wine-set.sh), and says which: the shipped i686 programs under
# 32-bit Wine, or an x86_64 build of them (build/win64, built here) under
# 64-bit Wine.
#  1. KELMOR.EXE from its start until a stand-in dosbox.exe has recorded its
#     own start; the launcher's share is that less its fixed 1000 ms wait;
#  2. the kit launcher's CD search: 23 probes of L:\KIT\KELKIT.EXE for L from
#     D to Z (E: a CD-ROM drive without a disc, the others no drive at all),
#     as 0 and as ROUNDS rounds of drive_probe_bench.exe; the difference per
#     round is the time of the 23 probes;
#  3. _Configuration.exe from its start until its window shows;
#  4. the setup program's silent install (/S) into the user's folder, the
#     previous one removed first;
#  5. the sizes of the zip and the setup program.
# Needs a built release (make windows-release) and hyperfine. RUNS (default
# 10) runs each.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${RUNS:-10}
rounds=${ROUNDS:-2000}
command -v hyperfine >/dev/null || { echo "hyperfine is not installed (apt-get install hyperfine)" >&2; exit 1; }
source "$root/tools/wine-set.sh"
choose_wine_set
if [ "$wine_set" = win32 ]; then
  echo "Timing the shipped i686 programs under 32-bit Wine ($wine_set_why)"
else
  echo "Timing an x86_64 build under 64-bit Wine ($wine_set_why)"
  (cd "$root" && build_x86_64_tree >/dev/null)
fi
build=$root/build/$wine_set
export KELMOR_HOST=wine KELMOR_WINE_ARCH=$wine_set KELMOR_WINE_TEMPLATE=$build/wine/template
export KELMOR_STAND_IN=$build/tests/bin/record_start.exe
bash "$root/tests/win32/wine_template.sh" "$KELMOR_WINE_TEMPLATE" >/dev/null
BIN=$build/bin
source "$root/tests/gui/lib.sh"
make_workspace
start_display 1024x768

app="$APPS/Kelmor"
mkdir -p "$app/SAVEGAME" "$WORK/cd/KELMOR"
install_program KELMOR "$app"
stand_in "$app/dosbox.exe"
cp "$build/bench/drive_probe_bench.exe" "$app/"
echo marker >"$WORK/cd/KELMOR/VIGNET.DAT"
make_drive_map "E=$WORK/cd"
wineserver -p  # one wineserver for every run, as on a desktop in use
cd "$WORK"
kelmor=$(windows_path "$app")\\KELMOR.EXE
probe=$(windows_path "$app")\\drive_probe_bench.exe

echo "1. KELMOR.EXE until the stand-in dosbox.exe has recorded its start"
hyperfine --shell=bash --warmup 2 --runs "$runs" --export-json "$WORK/launch.json" \
  --prepare "rm -f '$app/dosbox-started.txt'" \
  "'$KELMOR_WINE' '$kelmor' & until [ -e '$app/dosbox-started.txt' ]; do sleep 0.002; done"
mean=$(sed -n 's/.*"mean": \([0-9.]*\).*/\1/p' "$WORK/launch.json" | head -n 1)
awk -v s="$mean" 'BEGIN { printf "   the launcher'"'"'s share, less its 1000 ms wait: %.0f ms\n", s * 1000 - 1000 }'

make_drive_map  # E: a CD-ROM drive without a disc, no other drive but C:
wineserver -p
echo "2. 23 CD probes: 0 against $rounds rounds"
hyperfine --warmup 2 --runs "$runs" --export-json "$WORK/probes.json" \
  "'$KELMOR_WINE' '$probe' 0" "'$KELMOR_WINE' '$probe' $rounds"
sed -n 's/.*"mean": \([0-9.]*\).*/\1/p' "$WORK/probes.json" | head -n 2 | tr '\n' ' ' |
  awk -v r="$rounds" '{ printf "   23 probes: %.1f us (%.2f us each)\n", ($2 - $1) / r * 1e6, ($2 - $1) / r / 23 * 1e6 }'

# The mean of the first command of a hyperfine export, in ms.
mean_ms() { sed -n 's/.*"mean": \([0-9.]*\).*/\1/p' "$1" | head -n 1 | awk '{ printf "%.0f ms", $1 * 1000 }'; }

echo "3. _Configuration.exe until its window shows"
install_program _Configuration "$app"
configuration=$(windows_path "$app")\\_Configuration.exe
shown="xdotool search --onlyvisible --name '^Kelmor Plix Configuration\$' >/dev/null 2>&1"
hyperfine --shell=bash --warmup 2 --runs "$runs" --export-json "$WORK/dialog.json" \
  --prepare "while $shown; do sleep 0.01; done" \
  "'$KELMOR_WINE' '$configuration' & until $shown; do sleep 0.002; done; kill \$!"
echo "   mean: $(mean_ms "$WORK/dialog.json")"

release=$build/release
setup=$(find "$release" -name 'KelmorKit-*-setup.exe' | head -n 1)
zip=$(find "$release" -name 'KelmorKit-*.zip' | head -n 1)
echo "4. the silent install of $(basename "$setup")"
cp "$setup" "$APPS/setup.exe"
wine 'C:\setup.exe' /S
installed=$(find "$WINEPREFIX/drive_c/users" -maxdepth 6 -type d -path '*/AppData/Local/Programs/Kelmor Kit')
menu=$(find "$WINEPREFIX/drive_c/users" -type d -path '*/Start Menu/Programs/Kelmor Kit')
hyperfine --warmup 1 --runs "$runs" --export-json "$WORK/install.json" \
  --prepare "rm -rf '$installed' '$menu'" "'$KELMOR_WINE' 'C:\setup.exe' /S"
echo "   mean: $(mean_ms "$WORK/install.json")"

echo "5. sizes"
for file in "$zip" "$setup"; do
  echo "   $(basename "$file"): $(stat -c %s "$file") bytes"
done
