#!/usr/bin/env bash
# What this machine can run, asked of the kernel itself. Sourced by provision.sh and build.sh.

# True when the kernel runs 32-bit x86 programs. Some kernels are built or booted without
# that support, and wine32 then fails there with "Exec format error". The probe is a 93-byte
# static i386 ELF whose only instructions are exit(0) (mov eax,1; xor ebx,ebx; int 0x80), so
# asking needs no i386 package. VANTRELL_KERNEL_32BIT=yes|no answers instead (the set-up's
# own tests use it).
kernel_runs_32bit() {
  case "${VANTRELL_KERNEL_32BIT:-}" in yes) return 0 ;; no) return 1 ;; esac
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
