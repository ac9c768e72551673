#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times opening the map editor in the real emulator against starting the kit
# the same way, headless on a private Xvfb, on an installed application
# folder: from starting _Mapper, or _KelmorPlix, until the DOS program (the
# map editor, or KELKIT.EXE) has created its file, which is the first thing
# it does; less the launchers' fixed 600 ms wait. Each is the median of RUNS
# runs (default 9), taken in turns. Needs a built tree (make build).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/linux"
runs=${RUNS:-9}
source "$root/tests/e2e/lib.sh"
make_e2e_workspace
start_display 1024x768

median() { sort -n | awk '{ v[NR] = $1 } END { printf "%.1f", v[int((NR + 1) / 2)] }'; }

app="$WORK/app"
install_app "$build" "$app"
printf 'KELPLIX\r\n' >"$app/THEST.FUJ"
mkdir -p "$WORK/cd/KIT"
assemble_tail_writer "$WORK/cd/KIT/KELKIT.EXE"
cp "$WORK/cd/KIT/KELKIT.EXE" "$app/KELKIT.EXE"
assemble_tail_writer "$app/MAPPER.EXE" exe
make_drive_map "L=$WORK/cd"
make_emulator "$WORK/bin/dosbox"
export PATH="$WORK/bin:$PATH"
cd "$WORK"

# Milliseconds from starting launcher $1 until B:\RESULT.TXT was made, less 600.
time_to_file() {
  rm -f "$app/RESULT.TXT"
  local start; start=$(date +%s%N)
  "$app/$1" &
  until [ -e "$app/RESULT.TXT" ]; do sleep 0.002; done
  local made; made=$(stat -c %.9W "$app/RESULT.TXT" | tr -d .)
  [ "$made" != 0 ] || made=$(stat -c %.9Y "$app/RESULT.TXT" | tr -d .)
  wait $!
  wait_emulators 30
  awk -v t=$((made - start)) 'BEGIN { printf "%.1f\n", t / 1e6 - 600 }'
}

for _ in $(seq "$runs"); do
  time_to_file _Mapper >>"$WORK/mapper.txt"
  time_to_file _KelmorPlix >>"$WORK/kit.txt"
done
printf '%-62s %8s\n' "start -> the DOS program's first file, less 600 ms (median of $runs)" ms
printf '%-62s %8s\n' "_Mapper, the map editor in DOSBox" "$(median <"$WORK/mapper.txt")"
printf '%-62s %8s\n' "_KelmorPlix, the kit in DOSBox" "$(median <"$WORK/kit.txt")"
