#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times a game launch with the real emulator, headless on a private Xvfb:
#  1. from starting KELMOR until the CD's DOS program has written its file;
#  2. the launcher's own share: from starting KELMOR until the emulator is
#     started (a stand-in that only leaves a file), less the fixed 1000 ms wait;
#  3. the bridge's start-up overhead: `dosbox -noconsole` through the bridge
#     against `dosbox -conf <translated copy>` directly, both running the same
#     DOS program, and the bridge alone against an emulator that does nothing
#     (a shell script), in ROUNDS rounds of 5 * RUNS runs each, the two taking
#     turns, so that a machine busy with other work weighs on both alike: the
#     median of the rounds' medians, and their ratio.
# Each is the median of RUNS runs (default 9); PARTS (default "1 2 3")
# chooses which run. Needs a built tree (make build) and hyperfine for part
# 3 (apt-get install hyperfine).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/linux"
runs=${RUNS:-9}
rounds=${ROUNDS:-5}
parts=" ${PARTS:-1 2 3} "
wants() { [[ "$parts" == *" $1 "* ]]; }
source "$root/tests/e2e/lib.sh"
command -v hyperfine >/dev/null || fail "hyperfine is not installed (apt-get install hyperfine)"
make_e2e_workspace
start_display 1024x768

median() { sort -n | awk '{ v[NR] = $1 } END { m = int((NR + 1) / 2); printf "%.2f", v[m] }'; }
now_ns() { date +%s%N; }

app="$WORK/app"
install_app "$build" "$app"
assemble_tail_writer "$WORK/cd/KELMOR/KELMOR.EXE"
printf 'marker' >"$WORK/cd/KELMOR/VIGNET.DAT"
make_drive_map "E=$WORK/cd"
make_emulator "$WORK/bin/dosbox"
export PATH="$WORK/bin:$PATH"
cd "$WORK"

whole=- launcher=- emulator_csv=/dev/null
wants 1 && echo "1. KELMOR until the DOS program has written its file ($runs runs)"
wants 1 && for _ in $(seq "$runs"); do
  rm -f "$app/SAVEGAME/RESULT.TXT"
  start=$(now_ns)
  "$app/KELMOR" &
  launcher_pid=$!
  until [ -s "$app/SAVEGAME/RESULT.TXT" ]; do sleep 0.002; done
  end=$(now_ns)
  wait "$launcher_pid"
  wait_emulators 30
  echo $(((end - start) / 1000))
done >"$WORK/whole.txt"
wants 1 && whole=$(median <"$WORK/whole.txt")

wants 2 && echo "2. KELMOR until the emulator starts ($runs runs)"
stub_app="$WORK/stub app"
install_app "$build" "$stub_app"
# Leaves a file without starting any process: its time of change is the start.
printf '#!/bin/sh\n: >started\n' >"$stub_app/dosbox"
wants 2 && for _ in $(seq "$runs"); do
  rm -f "$stub_app/started"
  start=$(now_ns)
  "$stub_app/KELMOR" &
  launcher_pid=$!
  until [ -e "$stub_app/started" ]; do sleep 0.002; done
  started=$(stat -c %.9Y "$stub_app/started" | tr -d .)
  wait "$launcher_pid"
  echo $(((started - start) / 1000))
done >"$WORK/launcher.txt"
wants 2 && launcher=$(median <"$WORK/launcher.txt")

csv_median_ms() { awk -F, -v name="$2" '$1 == name { printf "%.1f", $4 * 1000 }' "$1"; }
if wants 3; then
  echo "3. the bridge against dosbox -conf directly ($runs runs each; the bridge alone in $rounds rounds)"
  export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
  if [ ! -e "$app/dosbox.conf" ]; then  # part 1 did not write it
    "$app/KELMOR"
    until [ -s "$app/SAVEGAME/RESULT.TXT" ]; do sleep 0.05; done
    wait_emulators 30
  fi
  (cd "$app" && ./dosbox -noconsole >/dev/null 2>&1)  # leaves the translated copy
  copy=$(ls -t "$XDG_RUNTIME_DIR"/kelmor-*/*.conf | head -n 1)
  printf '#!/bin/sh\nexit 0\n' >"$WORK/nothing"
  chmod +x "$WORK/nothing"
  emulator_csv="$WORK/emulator.csv"
  hyperfine --style none --warmup 2 --runs "$runs" --export-csv "$emulator_csv" \
    --command-name "dosbox -conf copy" "cd '$app' && /usr/bin/dosbox -conf '$copy' >/dev/null 2>&1" \
    --command-name "bridge then dosbox" "cd '$app' && ./dosbox -noconsole >/dev/null 2>&1" >/dev/null
  # The bridge alone: both sides start from the same shell in the same folder.
  mkdir -p "$WORK/config-nothing/kelmor"
  sed "s|^\[options\]|[options]\nemulator=$WORK/nothing|" "$XDG_CONFIG_HOME/kelmor/drives.ini" \
    >"$WORK/config-nothing/kelmor/drives.ini"
  for round in $(seq "$rounds"); do
    XDG_CONFIG_HOME="$WORK/config-nothing" \
      hyperfine --style none --warmup 3 --runs "$((runs * 5))" -N --export-csv "$WORK/bridge-$round.csv" \
      --command-name "no-op emulator" "sh -c 'cd \"$app\" && exec \"$WORK/nothing\" -conf \"$copy\"'" \
      --command-name "bridge then no-op" "sh -c 'cd \"$app\" && exec ./dosbox -noconsole'" \
      >/dev/null
    echo "$(csv_median_ms "$WORK/bridge-$round.csv" "no-op emulator") $(csv_median_ms "$WORK/bridge-$round.csv" "bridge then no-op")"
  done >"$WORK/bridge-rounds.txt"
  no_op=$(awk '{ print $1 }' "$WORK/bridge-rounds.txt" | median)
  bridged=$(awk '{ print $2 }' "$WORK/bridge-rounds.txt" | median)
  ratio=$(awk '{ printf "%.2f\n", $2 / $1 }' "$WORK/bridge-rounds.txt" | sort -n | tr '\n' ' ')
fi

echo
printf '%-58s %10s\n' "measure (median of $runs runs)" "ms"
wants 1 && printf '%-58s %10s\n' "KELMOR start -> DOS program wrote its file" "$(awk -v t="$whole" 'BEGIN { printf "%.1f", t / 1000 }')"
wants 2 && printf '%-58s %10s\n' "KELMOR start -> emulator started" "$(awk -v t="$launcher" 'BEGIN { printf "%.1f", t / 1000 }')"
wants 2 && printf '%-58s %10s\n' "  of which the launcher's own share (beyond 1000 ms)" "$(awk -v t="$launcher" 'BEGIN { printf "%.1f", t / 1000 - 1000 }')"
if wants 3; then
  printf '%-58s %10s\n' "dosbox -conf copy, directly" "$(csv_median_ms "$emulator_csv" "dosbox -conf copy")"
  printf '%-58s %10s\n' "the bridge then dosbox" "$(csv_median_ms "$emulator_csv" "bridge then dosbox")"
  printf '%-58s %10s\n' "no-op emulator, directly ($rounds rounds of $((runs * 5)))" "$no_op"
  printf '%-58s %10s\n' "the bridge, then the no-op emulator" "$bridged"
  printf '%-58s %10s\n' "  ratio (median of the rounds')" "$(tr ' ' '\n' <<<"$ratio" | grep . | median)"
  printf '%s\n' "  the rounds' ratios: $ratio"
fi
