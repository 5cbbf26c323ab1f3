#!/usr/bin/env bash
# Installs what building and testing need on Debian 12 (as root): the cross compilers, Wine,
# Xvfb with a window manager, the GoogleTest sources and a Japanese locale. It calls no
# package tool when nothing is missing, and asks for the i386 architecture and wine32 only
# where the kernel can run 32-bit programs. Idempotent. Usage: scripts/provision.sh
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/machine.sh"

# One "command-or-file package" pair a line: the package is needed when neither a command of
# that name is on the PATH nor a file of that path exists.
wanted=(
  "i686-w64-mingw32-g++-posix g++-mingw-w64-i686-posix"
  "x86_64-w64-mingw32-g++-posix g++-mingw-w64-x86-64-posix"
  "cmake cmake"
  "make make"
  "python3 python3"
  "Xvfb xvfb"
  "openbox openbox"
  "xdotool xdotool"
  "xwininfo x11-utils"
  "import imagemagick"
  "setpriv util-linux"
  "/usr/src/googletest/CMakeLists.txt googletest"
  "wine wine"
  "/usr/lib/wine/wine64 wine64"
  # Wine's own fonts ("MS Sans Serif" among them), the fonts the windows are designed in.
  "/usr/share/wine/fonts/sserifer.fon fonts-wine"
  "locale-gen locales"
)
runs_32bit=false
if kernel_runs_32bit; then
  runs_32bit=true
  wanted+=("/usr/lib/wine/wine wine32:i386")
fi

missing=()
for pair in "${wanted[@]}"; do
  probe=${pair%% *}
  if [[ $probe == /* ]]; then [ -e "$probe" ] && continue; else command -v "$probe" >/dev/null && continue; fi
  missing+=("${pair#* }")
done

# Installs the given packages; on failure finds out which of them cannot be had.
install_packages() {
  local apt=(env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends)
  "${apt[@]}" "$@" && return 0
  local failed=() package
  for package in "$@"; do "${apt[@]}" "$package" || failed+=("$package"); done
  [ ${#failed[@]} -eq 0 ] && return 0
  echo "provision: these packages could not be installed: ${failed[*]}" >&2
  echo "provision: fix the package sources (apt-get update must reach them), then run again:" >&2
  echo "provision:   $0" >&2
  return 1
}

if [ ${#missing[@]} -gt 0 ]; then
  echo "provision: installing ${missing[*]}"
  if $runs_32bit && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  # One index that cannot be read (a mirror being synchronised, a stale source line) must
  # not stop the rest: the packages needed usually come from the indexes that did update.
  apt-get update -q || echo "provision: warning: apt-get update failed for some index; installing from what it has" >&2
  install_packages "${missing[@]}"
fi

# A Japanese locale gives the program code page 932, whose double-byte characters may end
# in the byte of a backslash; a test runs under it.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  grep -qx 'ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'ja_JP.UTF-8 UTF-8' >>/etc/locale.gen
  locale-gen >/dev/null
fi
