#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The game, the kit and the map editor with the real DOSBox Staging: 0.82.2,
# 0.82.2 run with --exit (which drops its guard against an early `exit`, as
# 0.83 did), and 0.83.0-rc1. Each is named in the drive map, told by the
# bridge from its --version, and handed the kit's configuration in its
# dialect. The same chain as with Debian's DOSBox: the game from a CD in a
# folder, from an .iso and from a .cue with an audio track; the kit installing
# from its CD and starting; the map editor; each DOS program writes its
# command tail to B:\RESULT.TXT and the emulator ends at `exit`. Nothing the
# emulator printed may call a line of the kit's configuration invalid,
# unknown or deprecated, and the emulator reads no dosbox.conf of its own
# accord. The builds come from ../shared/emulators beside the source tree
# (KELMOR_EMULATORS names another folder); without them the test is skipped.
set -euo pipefail
BUILD=$1
source "$(dirname "$0")/lib.sh"
emulators=${KELMOR_EMULATORS:-$(cd "$(dirname "$0")/../.." && pwd)/../shared/emulators}
if [ ! -x "$emulators/staging.sh" ]; then
  echo "SKIP: no DOSBox Staging builds in $emulators: the kit is not tested against DOSBox Staging"
  exit 77
fi
make_e2e_workspace
start_display 1024x768

# Unpacked once per build tree; staging.sh installs the libraries each needs.
staging() {
  "$emulators/staging.sh" "$BUILD/staging" "$1" 2>"$WORK/staging.log" ||
    fail "DOSBox Staging $1 could not be unpacked: $(tail -5 "$WORK/staging.log")"
}

# The emulator at $1: Staging $2 with the arguments after it, headless but
# for the display, bounded in time, its process group recorded for the
# cleanup, all it prints in emulator.log; asked what it is, it answers.
make_staging() {
  local program=$1 real
  real=$(staging "$2")
  shift 2
  mkdir -p "$(dirname "$program")"
  cat >"$program" <<SH
#!/bin/sh
[ "\$*" != --version ] || exec "$real" --version
echo \$\$ >>"$WORK/emulator.pids"
[ "\${KELMOR_DOSBOX_BRIDGE:-}" != "\$PPID" ] || echo \$PPID >>"$WORK/emulator.pids"
export SDL_AUDIODRIVER=dummy
exec timeout 60 "$real" "\$@" $* >>"$WORK/emulator.log" 2>&1
SH
  chmod +x "$program"
}

game_cd="$WORK/Game CD"
assemble_tail_writer "$game_cd/KELMOR/KELMOR.EXE" tracks slow
printf 'marker' >"$game_cd/KELMOR/VIGNET.DAT"
printf 'intro' >"$game_cd/KELMOR/INTRO.DAT"
images="$WORK/CD images"
mkdir -p "$images"
xorriso -as mkisofs -quiet -R -J -o "$images/Kelmor.iso" "$game_cd" 2>/dev/null || fail "xorriso failed"
make_cue_image "$game_cd" "$images/Kelmor.cue"
kit_cd="$WORK/Kit CD"
mkdir -p "$kit_cd/KIT/DATA"
assemble_tail_writer "$kit_cd/KIT/KELKIT.EXE" slow
assemble_tail_writer "$kit_cd/KIT/USA/MAPPER.EXE" exe slow
printf 'usa' >"$kit_cd/KIT/DATA/USA.BIN"

# The drive map: the emulator $1, E: the game's CD $2, L: the kit's.
drive_map() {
  printf '[options]\ndetect=no\nemulator=%s\n[drives]\nE=%s\nL=%s\n' "$1" "$2" "$kit_cd" \
    >"$XDG_CONFIG_HOME/kelmor/drives.ini"
}

# Runs the launcher $2 of the application folder $1 and waits for the DOS
# program's B:\RESULT.TXT ($3 holds the name it lands at) to hold $4, and
# for the emulator's end.
launch() {
  local app=$1 launcher=$2 result=$3 expected=$4
  rm -f "$result"
  cd "$WORK"
  timeout 60 "$app/$launcher" &
  wait_exit $! 60
  [ "$EXIT_CODE" = 0 ] || fail "$launcher ended with $EXIT_CODE: $(tail -20 "$WORK/emulator.log")"
  expect_file_text "$result" 60 "$expected"
  wait_emulators 60
}

# version | arguments after the bridge's | how the test names it
while IFS='|' read -r version arguments name; do
  note "DOSBox Staging $name"
  tag=${name// /-}
  app="$WORK/Kelmor $tag"
  install_app "$BUILD" "$app"
  make_staging "$WORK/emulators/$tag/dosbox-staging" "$version" $arguments
  # Each version its own primary configuration, as a player who has only it:
  # another version's draws that version's complaints, which are not the kit's.
  rm -rf "$XDG_CONFIG_HOME/dosbox"
  : >"$WORK/emulator.log"

  note "$name: the game from a folder, an .iso and a .cue with its audio track"
  for cd in "$game_cd" "$images/Kelmor.iso" "$images/Kelmor.cue"; do
    drive_map "$WORK/emulators/$tag/dosbox-staging" "$cd"
    rm -f "$app/SAVEGAME/TRACKS.TXT"
    launch "$app" KELMOR "$app/SAVEGAME/RESULT.TXT" " save=B:"
  done
  expect_file_text "$app/SAVEGAME/TRACKS.TXT" 5 "1-2"
  grep -q "^dosbox-staging version $version" "$WORK/emulator.log" ||
    grep -qi "version ${version%%-*}" "$WORK/emulator.log" || fail "not Staging $version that ran"
  grep -q "^autoexec_section=overwrite" "$XDG_RUNTIME_DIR"/kelmor-*/*.conf ||
    fail "the copy is not in Staging's dialect: $(head -20 "$XDG_RUNTIME_DIR"/kelmor-*/*.conf)"

  note "$name: the kit installs from its CD on L: and starts"
  launch "$app" _KelmorPlix "$app/RESULT.TXT" " ver=usa"
  cmp -s "$app/TEST.FUJ" "$app/THEST.FUJ" || fail "the installation was not recorded"

  note "$name: the map editor opens, not the kit, although dosbox.conf lies beside it"
  launch "$app" _Mapper "$app/RESULT.TXT" ""
  [ -e "$app/dosbox.conf" ] || fail "the kit's dosbox.conf is gone"

  note "$name: a drive it refuses is named in the bridge's box"
  # Then the kit's program, slow enough for 0.82 to take its `exit`.
  printf '[autoexec]\r\nMOUNT E "%s/no such CD"\r\nMOUNT B "%s"\r\nB:\r\nKELKIT.EXE\r\nexit\r\n' \
    "$WORK" "$app" >"$app/dosbox.conf"
  (cd "$app" && exec timeout 60 ./dosbox -noconsole) 2>"$WORK/stderr.txt" &
  pid=$!
  box=$(wait_window DOSBox 60)
  import -window root "$WORK/refused-$tag.png" 2>/dev/null || true
  dismiss_box "$box"
  wait_exit "$pid" 30
  grep -qF "DOSBox could not mount E: (the folder $WORK/no such CD)" "$WORK/stderr.txt" ||
    fail "stderr: $(cat "$WORK/stderr.txt")"

  [ -z "$(complaints)" ] || fail "Staging $name found fault with the configuration: $(complaints)"
  ! grep -aq "Loaded local config file" "$WORK/emulator.log" ||
    fail "Staging $name read dosbox.conf of its own accord"
done <<'ROWS'
0.82.2||0.82.2
0.82.2|--exit|0.82.2 with exit
0.83.0-rc1||0.83.0-rc1
ROWS
[ -z "${KELMOR_SCREENSHOTS:-}" ] || cp "$WORK"/*.png "$KELMOR_SCREENSHOTS"/
echo "PASS"
