#!/usr/bin/env bash
# Installs what building and testing need on Debian 12 (as root), then configures and
# builds into build/. Idempotent: it installs only what is missing and rebuilds only what
# changed. Sourced by test.sh and run.sh.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"

need=()
command -v i686-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-i686-posix)
command -v x86_64-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-x86-64-posix)
command -v cmake >/dev/null || need+=(cmake)
command -v make >/dev/null || need+=(make)
command -v python3 >/dev/null || need+=(python3)
command -v Xvfb >/dev/null || need+=(xvfb)
command -v xdotool >/dev/null || need+=(xdotool)
command -v xwininfo >/dev/null || need+=(x11-utils)
command -v import >/dev/null || need+=(imagemagick)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
command -v wine >/dev/null || need+=(wine)
dpkg -s wine32:i386 >/dev/null 2>&1 || need+=(wine32:i386)
# Wine's own fonts ("MS Sans Serif" among them): without them the windows fall back to a
# wider font and cut their texts.
dpkg -s fonts-wine >/dev/null 2>&1 || need+=(fonts-wine)
command -v locale-gen >/dev/null || need+=(locales)
if [ ${#need[@]} -gt 0 ]; then
  echo "setup: installing ${need[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  apt-get update -q
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${need[@]}" wine64
fi

# A Japanese locale gives the program code page 932, whose double-byte characters may end
# in the byte of a backslash; a test runs under it.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  grep -qx 'ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'ja_JP.UTF-8 UTF-8' >>/etc/locale.gen
  locale-gen >/dev/null
fi

# The product is 32-bit. Some machines cannot run 32-bit code at all (the kernel refuses
# wine32 with "Exec format error"); there the same sources are built for 64-bit Windows
# and tested under wine64, through a `wine` wrapper put first on the PATH.
mkdir -p "$build"
arch=i686
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  arch=x86_64
  mkdir -p "$build/wine64-bin"
  printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' \
    >"$build/wine64-bin/wine"
  chmod +x "$build/wine64-bin/wine"
  export PATH="$build/wine64-bin:$PATH"
fi
if [ "$(cat "$build/arch" 2>/dev/null)" != "$arch" ]; then
  [ -f "$build/arch" ] || [ ! -f "$build/CMakeCache.txt" ] || echo "setup: building for $arch now"
  rm -rf "$build/CMakeCache.txt" "$build/CMakeFiles" "$build/wineprefix"
  echo "$arch" >"$build/arch"
fi
[ "$arch" = i686 ] || echo "setup: this machine cannot run 32-bit code; building and testing for x86_64"

# A private Wine prefix under the build folder, created on first use.
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "setup: creating the Wine prefix $WINEPREFIX"
  wine wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
fi
# Wine's 64-bit loader here does not look in Wine's own font folder, so its fonts are also
# put where every Wine finds them: the prefix's Windows font folder.
fonts="$WINEPREFIX/drive_c/windows/Fonts"
mkdir -p "$fonts"
for font in /usr/share/wine/fonts/*; do
  [ -e "$fonts/${font##*/}" ] || cp "$font" "$fonts/"
done

cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)"
