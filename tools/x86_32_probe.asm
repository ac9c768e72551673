; SPDX-License-Identifier: GPL-3.0-or-later
; A whole 32-bit x86 Linux program, ELF header included, that ends at once
; with exit code 32. Whether a machine runs it tells whether it runs 32-bit
; programs at all (some 64-bit kernels are built without that), with no
; 32-bit library needed.   nasm -f bin -o probe x86_32_probe.asm
        bits 32
        org 0x08048000
elf:    db 0x7F, "ELF", 1, 1, 1, 0      ; 32-bit, little endian, version 1, System V
        times 8 db 0
        dw 2                            ; an executable
        dw 3                            ; for the i386
        dd 1                            ; version
        dd start                        ; entry point
        dd program_header - elf         ; where the program header is
        dd 0                            ; no section headers
        dd 0                            ; flags
        dw elf_size
        dw program_header_size
        dw 1                            ; one program header
        dw 0, 0, 0                      ; no section headers
elf_size equ $ - elf
program_header:
        dd 1                            ; a segment to load:
        dd 0                            ;   the file from its start
        dd $$, $$                       ;   at the origin
        dd file_size, file_size
        dd 5                            ;   readable and executable
        dd 0x1000
program_header_size equ $ - program_header
start:  mov eax, 1                      ; exit(32)
        mov ebx, 32
        int 0x80
file_size equ $ - $$
