#!/usr/bin/env bash
# What this machine can run, asked of the kernel itself. Sourced by provision.sh, build.sh
# and shipped.sh.

# The binfmt_misc entry, if any, that hands i386 programs to an emulator (qemu-user): its
# magic is an ELF header of class 32, little-endian, machine 3 (i386). The kernel asks such
# entries before its own ELF loader, so where one is enabled every i386 program is emulated.
I386_ELF_MAGIC=7f454c4601010100000000000000000002000300
i386_emulator_entry() {
  local dir=${VANTRELL_BINFMT_DIR:-/proc/sys/fs/binfmt_misc} entry
  for entry in "$dir"/*; do
    [ -f "$entry" ] || continue
    head -n 1 "$entry" 2>/dev/null | grep -qx enabled || continue
    grep -qx "magic $I386_ELF_MAGIC" "$entry" 2>/dev/null && { echo "$entry"; return 0; }
  done
  return 1
}

# True when an i386 program starts at all, natively or emulated. The probe is a 93-byte
# static i386 ELF whose only instructions are exit(0) (mov eax,1; xor ebx,ebx; int 0x80), so
# asking needs no i386 package.
i386_probe_runs() {
  local dir status=1
  dir=$(mktemp -d) || return 1
  {
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'     # ident: 32-bit, LE
    printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08'             # exec, i386, entry
    printf '\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00'             # phoff, shoff, flags
    printf '\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'             # sizes, one segment
    printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' # load at 0x8048000
    printf '\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' # 93 bytes, r-x
    printf '\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80'                         # exit(0)
  } >"$dir/probe32" && chmod +x "$dir/probe32" && "$dir/probe32" 2>/dev/null && status=0
  rm -rf "$dir"
  return $status
}

# How this machine runs i386 programs: "native" (the kernel itself), "emulated" (an
# emulator registered with binfmt_misc, far too slow for the whole suite) or "none". Some
# kernels are built or booted without 32-bit support, and wine32 then fails there with
# "Exec format error". VANTRELL_KERNEL_32BIT=yes|emulated|no answers instead (the set-up's
# own tests use it).
i386_runner() {
  case "${VANTRELL_KERNEL_32BIT:-}" in
    yes) echo native; return ;; emulated) echo emulated; return ;; no) echo none; return ;;
  esac
  if i386_emulator_entry >/dev/null; then echo emulated
  elif i386_probe_runs; then echo native
  else echo none; fi
}

# Puts a `wine` first on the PATH that runs Wine's 64-bit loader: a 64-bit prefix, whose
# 32-bit programs it hands to wine32 as 64-bit Windows runs them (WoW64).
use_wine64() {
  mkdir -p "$1"
  printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' \
    >"$1/wine"
  chmod +x "$1/wine"
  export PATH="$1:$PATH"
}

# True when the kernel itself runs 32-bit x86 programs.
kernel_runs_32bit() { [ "$(i386_runner)" = native ]; }
