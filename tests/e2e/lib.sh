# SPDX-License-Identifier: GPL-3.0-or-later
# Shared helpers of the end-to-end tests: an installed application folder,
# tiny DOS programs, and the real emulator bounded in time.
# shellcheck shell=bash
source "$(dirname "${BASH_SOURCE[0]}")/../gui/lib.sh"

# A workspace whose cleanup also ends every emulator the test started.
make_e2e_workspace() {
  make_workspace
  export HOME="$WORK/home" XDG_DATA_HOME="$WORK/home/.local/share"
  export XDG_CONFIG_HOME="$WORK/config" XDG_RUNTIME_DIR="$WORK/runtime"
  mkdir -p "$HOME" "$XDG_CONFIG_HOME/kelmor" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  trap 'stop_emulators; kill $(jobs -p) 2>/dev/null || true; { [ -z "${XVFB_PID:-}" ] || stop_display; }; rm -rf "$WORK"' EXIT
}

# Installs the application folder $2 from the build folder $1.
install_app() {
  cmake --install "$1" --prefix "$2" >"$WORK/install.log" 2>&1 ||
    fail "install failed: $(cat "$WORK/install.log")"
}

# Assembles a DOS program that writes its command tail to B:\RESULT.TXT and
# ends, into the file $1. It is a .COM image: without the "MZ" signature DOS
# runs it as such whatever its name, KELMOR.EXE included. With "exe" among
# the words that follow it is a DOS .EXE instead: an MZ header with no newer
# header behind it, whose CS:IP is the .COM's (100h in the segment of the
# program's PSP). With "tracks" it then also writes the lowest and highest
# track of the current drive's disc, as the emulator's MSCDEX reports them
# ("1-2" for a data track and an audio track), to B:\TRACKS.TXT. With
# "slow" it ends only 2 s after its start, past the 1.5 s within which DOSBox
# Staging 0.82 ignores an `exit` behind a program.
assemble_tail_writer() {
  local source="$WORK/tail_writer.asm"
  cat >"$source" <<'ASM'
%ifdef EXE
        org 100h - 64           ; the 64-byte header, then the program at 100h
        db 'MZ'
        dw (program_end - $$) % 512, (program_end - $$ + 511) / 512 ; last page, pages
        dw 0, 4                 ; no relocations; the header's paragraphs
        dw 1000h, 0FFFFh        ; memory wanted beyond the image: 64 KB at least
        dw -10h, 0FFFEh         ; SS:SP, relative to the image: the PSP's segment
        dw 0, 100h, -10h        ; checksum; CS:IP, likewise
        dw 40h, 0               ; relocation table, overlay
        times 3Ch - ($ - $$) db 0
        dd 0                    ; no newer header: a DOS program
%else
        org 100h
%endif
        mov ah, 3Ch             ; create B:\RESULT.TXT
        xor cx, cx
        mov dx, name
        int 21h
        jc failed
        mov bx, ax
        mov ah, 40h             ; write the command tail (length at 80h, text at 81h)
        xor ch, ch
        mov cl, [80h]
        mov dx, 81h
        int 21h
        mov ah, 3Eh
        int 21h
%ifdef TRACKS
        mov ah, 19h             ; the current drive, 0 for A:
        int 21h
        xor ah, ah
        mov cx, ax
        mov [request + 16], cs
        push cs
        pop es
        mov bx, request
        mov ax, 1510h           ; MSCDEX: a request to the drive's driver
        int 2Fh
        mov al, [block + 1]
        add al, '0'
        mov [tracks], al
        mov al, [block + 2]
        add al, '0'
        mov [tracks + 2], al
        mov ah, 3Ch             ; create B:\TRACKS.TXT
        xor cx, cx
        mov dx, tracks_name
        int 21h
        jc failed
        mov bx, ax
        mov ah, 40h
        mov cx, 3
        mov dx, tracks
        int 21h
        mov ah, 3Eh
        int 21h
%endif
%ifdef SLOW
        xor ah, ah              ; the BIOS's ticks since midnight, 18.2 a second
        int 1Ah
        mov bx, dx
ticks:  xor ah, ah
        int 1Ah
        sub dx, bx
        cmp dx, 37
        jb ticks
%endif
        mov ax, 4C00h
        int 21h
failed: mov ax, 4C01h
        int 21h
name    db 'B:\RESULT.TXT', 0
%ifdef TRACKS
request db 26, 0, 3             ; length, subunit, IOCTL input
        dw 0                    ; status
        times 8 db 0
        db 0                    ; media descriptor
        dw block, 0             ; transfer address; its segment is set above
        dw 7, 0                 ; bytes, first sector
        dd 0                    ; volume
block   db 0Ah, 0, 0, 0, 0, 0, 0 ; audio disc information: lowest, highest track, lead-out
tracks  db '?-?'
tracks_name db 'B:\TRACKS.TXT', 0
%endif
program_end:
ASM
  local file=$1 defines=() option
  shift
  for option in "$@"; do defines+=("-D${option^^}"); done
  mkdir -p "$(dirname "$file")"
  nasm -f bin "${defines[@]}" -o "$file" "$source" || fail "nasm failed"
  case " $* " in
    *" exe "*) [ "$(head -c 2 "$file")" = "MZ" ] || fail "the .EXE must start with MZ" ;;
    *) [ "$(head -c 2 "$file")" != "MZ" ] || fail "the program must not start with MZ" ;;
  esac
}

# Writes the emulator stand-in $1: Debian's dosbox, headless, bounded in
# time, its process group recorded so that the cleanup can end it; and the
# bridge that started it and waits for it, which ends after it. Asked what
# it is, it answers as the emulator does.
make_emulator() {
  mkdir -p "$(dirname "$1")"
  cat >"$1" <<SH
#!/bin/sh
[ "\$*" != --version ] || exec /usr/bin/dosbox --version
echo \$\$ >>"$WORK/emulator.pids"
[ "\${KELMOR_DOSBOX_BRIDGE:-}" != "\$PPID" ] || echo \$PPID >>"$WORK/emulator.pids"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
exec timeout 60 /usr/bin/dosbox "\$@" >>"$WORK/emulator.log" 2>&1
SH
  chmod +x "$1"
}

# The lines of what the emulators printed that find fault with a setting of
# the configuration they were handed, or that refuse an `exit`.
complaints() {
  grep -aiE "invalid|deprecated|no config section|not a valid value|unknown option|exit blocked" \
    "$WORK/emulator.log" || true
}

# Ends every recorded emulator's process group.
stop_emulators() {
  [ -f "$WORK/emulator.pids" ] || return 0
  local pid
  while read -r pid; do kill -KILL -- "-$pid" 2>/dev/null || true; done <"$WORK/emulator.pids"
}

# Waits (up to $1 s) until every recorded emulator has ended.
wait_emulators() {
  local pid
  for _ in $(seq $((${1:-30} * 10))); do
    local running=0
    while read -r pid; do kill -0 "$pid" 2>/dev/null && running=1; done <"$WORK/emulator.pids"
    [ "$running" = 0 ] && return 0
    sleep 0.1
  done
  fail "the emulator still runs after ${1:-30} s: $(cat "$WORK/emulator.log")"
}

# Waits (up to $2 s) for file $1, then checks that it holds exactly $3.
expect_file_text() {
  for _ in $(seq $((${2:-30} * 10))); do [ -e "$1" ] && break; sleep 0.1; done
  [ -e "$1" ] || fail "$1 did not appear; emulator log: $(cat "$WORK/emulator.log" 2>/dev/null)"
  sleep 0.2
  [ "$(cat "$1")" = "$3" ] || fail "$1 holds '$(cat "$1")', wanted '$3'"
}

