#!/usr/bin/env bash
# Installs what building and testing need on Debian 12 (as root): the cross compilers, Wine,
# Xvfb with a window manager, the GoogleTest sources and a Japanese locale. It calls no
# package tool when nothing is missing. wine32 is optional: it is asked for only where the
# kernel runs 32-bit programs, and where it cannot be had the tests run the 64-bit build
# under wine64 (the shipped 32-bit program is built all the same). Idempotent.
# With --shipped it also makes the shipped 32-bit program runnable where the kernel cannot
# run 32-bit code itself: qemu-user registered for i386 programs through binfmt_misc, and
# wine32 (slow, so only `scripts/test.sh --shipped` asks for it).
# Usage: scripts/provision.sh [--retry] [--shipped]   (--retry asks again for optional
# packages that could not be installed before)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/machine.sh"

# Optional packages that could not be had are remembered here, one a line, so later runs
# call no package tool for them.
state="${PROVISION_STATE:-$root/build/provision}"
unavailable="$state/unavailable"
shipped=false
for arg in "$@"; do
  case "$arg" in
    --retry) rm -f "$unavailable" ;;
    --shipped) shipped=true ;;
    *) echo "provision: unknown option $arg" >&2; exit 2 ;;
  esac
done

# One "command-or-file package" pair a line: the package is needed when neither a command of
# that name is on the PATH nor a file of that path exists.
required=(
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
optional=()
runner=$(i386_runner)
if [ "$runner" = native ] || $shipped; then
  optional+=("/usr/lib/wine/wine wine32:i386")
fi
if $shipped && [ "$runner" != native ]; then
  optional+=("qemu-i386-static qemu-user-static" "update-binfmts binfmt-support")
fi

# The packages of the given pairs whose command or file is absent.
absent_packages() {
  local pair probe
  for pair in "$@"; do
    probe=${pair%% *}
    if [[ $probe == /* ]]; then [ -e "${PROVISION_FILES_ROOT:-}$probe" ] && continue
    else command -v "$probe" >/dev/null && continue; fi
    echo "${pair#* }"
  done
}

# True when an earlier run found the package impossible to install.
known_unavailable() { [ -f "$unavailable" ] && grep -qxF "$1" "$unavailable"; }

apt_install() { env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$@"; }

# Installs the required packages; on failure finds out which of them cannot be had, names
# them and stops.
install_required() {
  [ $# -gt 0 ] || return 0
  apt_install "$@" && return 0
  local failed=() package
  for package in "$@"; do apt_install "$package" || failed+=("$package"); done
  [ ${#failed[@]} -eq 0 ] && return 0
  echo "provision: these packages could not be installed: ${failed[*]}" >&2
  echo "provision: fix the package sources (apt-get update must reach them), then run again:" >&2
  echo "provision:   $0" >&2
  return 1
}

# Installs one optional package; where it cannot be had, says why in one warning and
# remembers it.
install_optional() {
  local package=$1 log reason
  log=$(mktemp)
  if apt_install "$package" >"$log" 2>&1; then rm -f "$log"; return 0; fi
  reason=$(grep -E '^(E:| .*Depends:)' "$log" | head -n 1 | sed 's/^ *//' || true)
  rm -f "$log"
  mkdir -p "$state"
  echo "$package" >>"$unavailable"
  echo "provision: warning: $package could not be installed (${reason:-apt-get failed}); the" \
    "tests run the 64-bit build under wine64 and the shipped 32-bit Vantrell.exe is still" \
    "built, but not run. Ask for it again with: $0 --retry" >&2
}

# True when some installed package is of the i386 architecture.
has_i386_package() { dpkg-query -W -f '${Architecture}\n' 2>/dev/null | grep -qx i386; }

missing=()
mapfile -t missing < <(absent_packages "${required[@]}")
wanted_optional=()
for package in $(absent_packages "${optional[@]+"${optional[@]}"}"); do
  if known_unavailable "$package"; then
    echo "provision: $package could not be installed before; not asking again ($0 --retry asks)"
  else
    wanted_optional+=("$package")
  fi
done

if [ $((${#missing[@]} + ${#wanted_optional[@]})) -gt 0 ]; then
  echo "provision: installing ${missing[*]} ${wanted_optional[*]}"
  added_i386=false
  if printf '%s\n' "${wanted_optional[@]+"${wanted_optional[@]}"}" | grep -q ':i386$' &&
    ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    added_i386=true
  fi
  # An i386 architecture added for nothing would make every later apt-get update fetch
  # (and perhaps fail on) its indexes: take it away again, also when a required package stops us.
  drop_unused_i386() {
    if $added_i386 && ! has_i386_package; then
      dpkg --remove-architecture i386 && echo "provision: no i386 package was installed; removed the i386 architecture again"
    fi
  }
  trap drop_unused_i386 EXIT
  # One index that cannot be read (a mirror being synchronised, a stale source line) must
  # not stop the rest: the packages needed usually come from the indexes that did update.
  apt-get update -q || echo "provision: warning: apt-get update failed for some index; installing from what it has" >&2
  install_required "${missing[@]+"${missing[@]}"}"
  for package in "${wanted_optional[@]+"${wanted_optional[@]}"}"; do install_optional "$package"; done
fi

# A Japanese locale gives the program code page 932, whose double-byte characters may end
# in the byte of a backslash; a test runs under it.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  locale_gen="${PROVISION_FILES_ROOT:-}/etc/locale.gen"
  grep -qx 'ja_JP.UTF-8 UTF-8' "$locale_gen" 2>/dev/null || echo 'ja_JP.UTF-8 UTF-8' >>"$locale_gen"
  locale-gen >/dev/null
fi

# Where the kernel cannot run i386 programs, hands them to qemu through binfmt_misc (mounted
# here where it is not yet). Debian registers qemu for every foreign machine but not for
# i386 on amd64, so the entry is written here, with flag F so the emulator is found from
# any root. Anything missing is one warning; the rest goes on.
register_i386_emulator() {
  local binfmt=${VANTRELL_BINFMT_DIR:-/proc/sys/fs/binfmt_misc}
  local qemu=${PROVISION_FILES_ROOT:-}/usr/bin/qemu-i386-static
  [ "$(i386_runner)" = none ] || return 0
  if [ ! -x "$qemu" ]; then
    echo "provision: warning: qemu-user-static is not installed; the shipped 32-bit program cannot run here" >&2
    return 0
  fi
  if [ ! -e "$binfmt/register" ] && ! mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null; then
    echo "provision: warning: binfmt_misc cannot be mounted at $binfmt; the shipped 32-bit program cannot run here" >&2
    return 0
  fi
  local magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  local mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  if ! printf '%s\n' ":qemu-i386:M::$magic:$mask:/usr/bin/qemu-i386-static:F" >"$binfmt/register" 2>/dev/null; then
    echo "provision: warning: qemu could not be registered for i386 programs in $binfmt; the shipped 32-bit program cannot run here" >&2
    return 0
  fi
  echo "provision: i386 programs now run through qemu-user ($binfmt/qemu-i386)"
}
if $shipped; then register_i386_emulator; fi
