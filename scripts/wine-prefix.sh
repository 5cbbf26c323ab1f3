#!/usr/bin/env bash
# The build's private Wine prefix, made whole or not at all. Sourced by build.sh (and the
# set-up's own tests); needs WINEPREFIX and the `wine` to make it with.
#
# `wineboot -i` can end early on a busy machine and leave a prefix that has its registry
# but not Wine's own system files; every program then fails to start with "could not load
# kernel32.dll". So a prefix counts as made only when wineboot ended well, kernel32.dll is
# in its system folder and the marker written last (after the fonts) is there. Anything
# less, also what a killed run left, is removed and made once more; a second failure stops
# with wineboot's own err: lines.

prefix_marker() { echo "$WINEPREFIX/.vantrell-prefix-made"; }
prefix_is_whole() {
  [ -f "$(prefix_marker)" ] && [ -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ]
}

# One try at a new prefix: wineboot, its server's end, the system files, the fonts, the
# marker. Wine's output goes to the log $1.
make_prefix_once() {
  local log=$1 status
  rm -rf "$WINEPREFIX"
  echo "== $(date -u +%FT%TZ) wineboot -i" >>"$log"
  timeout "${VANTRELL_WINEBOOT_SECONDS:-300}" wine wineboot -i >>"$log" 2>&1
  status=$?
  timeout 60 wineserver -w >>"$log" 2>&1
  if [ "$status" -ne 0 ]; then
    echo "wineboot ended with status $status"
    return 1
  fi
  if [ ! -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ]; then
    echo "wineboot ended well but left no kernel32.dll in the prefix's system folder"
    return 1
  fi
  # Wine's 64-bit loader here does not look in Wine's own font folder, so its fonts are
  # also put where every Wine finds them: the prefix's Windows font folder.
  local fonts="$WINEPREFIX/drive_c/windows/Fonts" font
  mkdir -p "$fonts" || return 1
  for font in "${VANTRELL_WINE_FONTS:-/usr/share/wine/fonts}"/*; do
    [ -e "$font" ] || continue
    cp "$font" "$fonts/" || { echo "could not copy the font $font"; return 1; }
  done
  date -u +%FT%TZ >"$(prefix_marker)"
}

# Makes sure the prefix is whole: leaves a whole one alone, otherwise makes it, twice at most.
ensure_wine_prefix() {
  local log=${VANTRELL_WINEBOOT_LOG:-$(dirname "$WINEPREFIX")/wineboot.log} why try
  prefix_is_whole && return 0
  if [ -e "$WINEPREFIX" ]; then
    echo "build: the Wine prefix $WINEPREFIX is half made (an earlier run ended early); making it anew"
  else
    echo "build: creating the Wine prefix $WINEPREFIX"
  fi
  : >"$log"
  for try in 1 2; do
    why=$(make_prefix_once "$log") && return 0
    if [ "$try" = 1 ]; then
      echo "build: the Wine prefix was not made ($why); removing it and making it once more"
    fi
  done
  rm -rf "$WINEPREFIX"
  {
    echo "build: the Wine prefix could not be made twice ($why). Wine said (all of it in $log):"
    grep -E 'err:' "$log" | tail -n 20 | sed 's/^/build:   /'
    echo "build: run the command again once the machine is less busy: ${VANTRELL_COMMAND:-scripts/test.sh}"
  } >&2
  return 1
}
