#!/usr/bin/env bash
# The build's Wine prefix is made whole or not at all: scripts/wine-prefix.sh against a
# stand-in `wine` whose `wineboot -i` plays each try as a case tells it to.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/checks.sh"
source "$here/../../scripts/wine-prefix.sh"

# The stand-in plays the lines of $work/plan in turn, one a wineboot: "dies" (the registry
# and a few folders, then an error, as a wineboot that ended early), "empty" (ends well but
# leaves no system files) or "ok" (a whole prefix).
mkdir -p "$work/bin" "$work/fonts"
touch "$work/fonts/sserife.fon"
cat >"$work/bin/wine" <<'STUB'
#!/bin/bash
n=$(($(cat "$WORK/boots" 2>/dev/null || echo 0) + 1))
echo $n >"$WORK/boots"
mkdir -p "$WINEPREFIX/dosdevices" "$WINEPREFIX/drive_c/windows/system32/drivers"
touch "$WINEPREFIX/system.reg" "$WINEPREFIX/user.reg"
case $(sed -n "${n}p" "$WORK/plan") in
  dies) echo "0040:err:environ:init_peb starting L\"C:\\\\windows\\\\system32\\\\wineboot.exe\" failed" >&2; exit 1 ;;
  empty) exit 0 ;;
  ok) touch "$WINEPREFIX/drive_c/windows/system32/kernel32.dll"; exit 0 ;;
esac
STUB
printf '#!/bin/bash\nexit 0\n' >"$work/bin/wineserver"
chmod +x "$work/bin/wine" "$work/bin/wineserver"
export PATH="$work/bin:$PATH" WORK="$work" WINEPREFIX="$work/build/wineprefix"
export VANTRELL_WINE_FONTS="$work/fonts" VANTRELL_WINEBOOT_LOG="$work/build/wineboot.log"

# Makes the prefix over the plan $1 (tries separated by blanks); sets status.
make_over() {
  rm -f "$work/boots"
  mkdir -p "$work/build"
  tr ' ' '\n' <<<"$1" >"$work/plan"
  ensure_wine_prefix >"$work/out" 2>"$work/err"
  status=$?
}
show_failure() { echo "--- stdout"; cat "$work/out"; echo "--- stderr"; cat "$work/err"; }
boots() { cat "$work/boots" 2>/dev/null || echo 0; }
whole() {
  [ -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ] &&
    [ -f "$WINEPREFIX/.vantrell-prefix-made" ] && [ -f "$WINEPREFIX/drive_c/windows/Fonts/sserife.fon" ]
}

make_over "dies ok"
check "a wineboot that died half way is said, the prefix made again, and the build goes on" \
  eval '[ $status -eq 0 ] && [ $(boots) -eq 2 ] && whole &&
        grep -q "not made (wineboot ended with status 1); removing it and making it once more" "$work/out"'

rm -rf "$WINEPREFIX"
make_over "dies dies ok"
check "two failed wineboots stop, with Wine's err: lines, the log and the command to run again" \
  eval '[ $status -ne 0 ] && [ $(boots) -eq 2 ] && [ ! -e "$WINEPREFIX" ] &&
        grep -q "could not be made twice" "$work/err" && grep -q "build:   0040:err:environ" "$work/err" &&
        grep -q "wineboot.log" "$work/err" && grep -q "scripts/test.sh" "$work/err" &&
        grep -q "err:environ" "$work/build/wineboot.log"'

rm -rf "$WINEPREFIX"
make_over "empty ok"
check "a wineboot that ended well without the system files does not count" \
  eval '[ $status -eq 0 ] && [ $(boots) -eq 2 ] && whole && grep -q "no kernel32.dll" "$work/out"'

# What a killed run leaves: the registry and a few folders, no system files, no marker.
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX/drive_c/windows/system32/drivers"
touch "$WINEPREFIX/system.reg"
make_over "ok"
check "a half-made prefix from a killed run is removed and made anew" \
  eval '[ $status -eq 0 ] && [ $(boots) -eq 1 ] && whole && grep -q "half made" "$work/out"'

# Killed after wineboot but before the fonts and the marker.
rm "$WINEPREFIX/.vantrell-prefix-made"
make_over "ok"
check "a prefix without the marker written last is made anew" \
  eval '[ $status -eq 0 ] && [ $(boots) -eq 1 ] && whole'

make_over "dies"
check "a whole prefix is left alone: no wineboot runs" \
  eval '[ $status -eq 0 ] && [ $(boots) -eq 0 ] && whole && [ ! -s "$work/out" ]'

finish
