#!/usr/bin/env bash
# Exits 0 when this host executes 32-bit x86 programs, 1 when it does not.
# The probe is a 96-byte static i386 ELF program that makes the exit system
# call with status 42; nothing else can give that status.
#   i386-probe.sh SCRATCH_FILE
set -u
probe="${1:?scratch file}"
mkdir -p "$(dirname "$probe")"
# ELF header (52 bytes): class 32, little endian, executable, machine 3 (i386),
# entry 0x08048054, one program header at 52.
header='\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'
header+='\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'
header+='\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00'
header+='\x00\x00\x00\x00'
# Program header (32 bytes): one loadable, readable and executable segment
# of the whole 96-byte file at 0x08048000.
segment='\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'
segment+='\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
# mov eax, 1 (exit); mov ebx, 42; int 0x80
code='\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80'
printf "$header$segment$code" >"$probe" && chmod +x "$probe" || exit 1
"$probe" >/dev/null 2>&1
[ $? -eq 42 ]
