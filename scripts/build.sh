#!/usr/bin/env bash
# Configures and builds into build/, with a private Wine prefix there. Needs what
# provision.sh installs. Idempotent: it rebuilds only what changed. Sourced by test.sh,
# run.sh and the other commands; it exports the Wine settings they run under.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"
source "$root/scripts/machine.sh"

# The product is 32-bit. Where the kernel cannot run 32-bit code itself the same sources are
# built for 64-bit Windows and tested under wine64, through a `wine` wrapper put first on the
# PATH; an emulator is far too slow for the whole suite (scripts/test.sh --shipped runs the
# shipped build through it).
mkdir -p "$build"
arch=i686
why_64=""
case "$(i386_runner)" in
  emulated) why_64="this machine runs 32-bit programs only through an emulator" ;;
  none) why_64="this machine's kernel cannot run 32-bit programs" ;;
esac
if [ -z "$why_64" ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  why_64="wine32 is not installed (scripts/provision.sh says why; its --retry asks for it again)"
fi
if [ -n "$why_64" ]; then
  arch=x86_64
  use_wine64 "$build/wine64-bin"
fi
if [ "$(cat "$build/arch" 2>/dev/null)" != "$arch" ]; then
  [ -f "$build/arch" ] || [ ! -f "$build/CMakeCache.txt" ] || echo "build: building for $arch now"
  rm -rf "$build/CMakeCache.txt" "$build/CMakeFiles" "$build/wineprefix"
  echo "$arch" >"$build/arch"
fi
[ -z "$why_64" ] || echo "build: $why_64; building and testing for x86_64"

# A private Wine prefix under the build folder, made whole on first use (wine-prefix.sh).
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
source "$root/scripts/wine-prefix.sh"
ensure_wine_prefix || exit 1

cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)"

# Where the tests run the 64-bit copy, the shipped 32-bit program is still compiled and
# linked (warnings are errors), so a change that breaks it cannot pass unseen.
if [ "$arch" != i686 ]; then
  product="$build/product-i686"
  cmake -S "$root" -B "$product" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
  cmake --build "$product" -j"$(nproc)" --target Vantrell
  echo "build: the shipped 32-bit program builds: $product/Vantrell.exe"
fi
