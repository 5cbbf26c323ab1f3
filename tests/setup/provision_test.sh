#!/usr/bin/env bash
# The set-up's decisions, without a network: scripts/provision.sh runs against stand-in
# apt-get, dpkg, dpkg-query, locale and locale-gen that record their calls and fail where a
# case tells them to, on a PATH that holds nothing else of the machine's packages.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/checks.sh"
provision="$here/../../scripts/provision.sh"

# The stand-ins. Their state (foreign architectures, installed packages) and the call log
# live in $STUB; STUB_UNINSTALLABLE names packages whose install fails as apt does when an
# index is missing, STUB_FAIL_UPDATE=1 makes the index update fail.
make_stubs() {
  local bin=$1
  mkdir -p "$bin"
  cat >"$bin/apt-get" <<'EOF'
#!/bin/bash
echo "apt-get $*" >>"$STUB/calls"
if [ "$1" = update ]; then
  [ "${STUB_FAIL_UPDATE:-}" = 1 ] && { echo "E: Failed to fetch http://deb.example/dists/x  400 Bad Request"; exit 100; }
  exit 0
fi
for arg in "$@"; do
  for bad in ${STUB_UNINSTALLABLE:-}; do
    if [ "$arg" = "$bad" ]; then
      echo " libwine:i386 : Depends: libgstreamer-plugins-base1.0-0:i386 but it is not installable"
      echo "E: Unable to correct problems, you have held broken packages."
      exit 100
    fi
  done
done
for arg in "$@"; do [[ $arg == -* || $arg == install ]] || echo "$arg" >>"$STUB/installed"; done
EOF
  cat >"$bin/dpkg" <<'EOF'
#!/bin/bash
echo "dpkg $*" >>"$STUB/calls"
touch "$STUB/foreign"
case "$1" in
  --print-foreign-architectures) cat "$STUB/foreign" ;;
  --add-architecture) echo "$2" >>"$STUB/foreign" ;;
  --remove-architecture) grep -vx "$2" "$STUB/foreign" >"$STUB/foreign.new"; mv "$STUB/foreign.new" "$STUB/foreign" ;;
esac
EOF
  cat >"$bin/dpkg-query" <<'EOF'
#!/bin/bash
echo "dpkg-query $*" >>"$STUB/calls"
echo amd64
grep -q ':i386$' "$STUB/installed" 2>/dev/null && echo i386
exit 0
EOF
  cat >"$bin/locale" <<'EOF'
#!/bin/bash
printf 'C\nC.utf8\nja_JP.utf8\n'
EOF
  cat >"$bin/locale-gen" <<'EOF'
#!/bin/bash
echo "locale-gen $*" >>"$STUB/calls"
EOF
  chmod +x "$bin"/*
  local tool
  for tool in bash env grep sed head mktemp rm mkdir cat dirname chmod mv touch; do
    ln -s "$(command -v "$tool")" "$bin/$tool"
  done
}

# A machine: the stand-ins, plus the commands and files of every required package when
# $1 is "complete" (none when "bare"), plus wine32's loader when $2 is "wine32".
new_machine() {
  export STUB="$work/case$((passed + failed))"
  mkdir -p "$STUB/bin" "$STUB/root"
  make_stubs "$STUB/bin"
  : >"$STUB/calls"
  if [ "$1" = complete ]; then
    local command
    for command in i686-w64-mingw32-g++-posix x86_64-w64-mingw32-g++-posix cmake make python3 \
      Xvfb openbox xdotool xwininfo import setpriv wine locale-gen; do
      [ -e "$STUB/bin/$command" ] || printf '#!/bin/bash\n' >"$STUB/bin/$command"
      chmod +x "$STUB/bin/$command"
    done
    mkdir -p "$STUB/root/usr/src/googletest" "$STUB/root/usr/lib/wine" "$STUB/root/usr/share/wine/fonts"
    touch "$STUB/root/usr/src/googletest/CMakeLists.txt" "$STUB/root/usr/lib/wine/wine64" \
      "$STUB/root/usr/share/wine/fonts/sserifer.fon"
  fi
  [ "${2:-}" = wine32 ] && touch "$STUB/root/usr/lib/wine/wine"
  return 0
}

# Runs provision with the machine's PATH; $1 is the kernel's answer (yes or no).
provision() {
  local kernel=$1
  shift
  env -i PATH="$STUB/bin" VANTRELL_KERNEL_32BIT="$kernel" PROVISION_STATE="$STUB/state" \
    VANTRELL_BINFMT_DIR="$STUB/binfmt" \
    PROVISION_FILES_ROOT="$STUB/root" STUB="$STUB" STUB_FAIL_UPDATE="${STUB_FAIL_UPDATE:-}" \
    STUB_UNINSTALLABLE="${STUB_UNINSTALLABLE:-}" \
    "$(command -v bash)" "$provision" "$@" >"$STUB/out" 2>"$STUB/err"
}

show_failure() {
  echo "--- calls"; cat "$STUB/calls"; echo "--- stdout"; cat "$STUB/out"; echo "--- stderr"; cat "$STUB/err"
}
called() { grep -qF -- "$1" "$STUB/calls"; }
no_package_tool_called() { ! grep -qE '^(apt-get|dpkg|dpkg-query) ' "$STUB/calls"; }

# A kernel without 32-bit support on a bare machine: every required package, no i386.
new_machine bare
provision no
status=$?
check "a 64-bit-only kernel installs the required packages and never asks for i386" \
  eval '[ $status -eq 0 ] && called "install -y -q --no-install-recommends g++-mingw-w64-i686-posix" &&
        called " fonts-wine" && ! grep -q i386 "$STUB/calls"'

# wine32 that cannot be installed: one warning, the set-up goes on, the architecture it
# added goes away again, and a second run calls no package tool for it.
new_machine complete
STUB_UNINSTALLABLE="wine32:i386" provision yes
status=$?
check "wine32 that cannot be installed is a warning that names it and wine64" \
  eval '[ $status -eq 0 ] && [ $(grep -c warning "$STUB/err") -eq 1 ] &&
        grep -q "wine32:i386 could not be installed (libwine:i386 : Depends:" "$STUB/err" &&
        grep -q "wine64" "$STUB/err" && grep -q -- "--retry" "$STUB/err"'
check "the i386 architecture added for wine32 is removed when nothing of it came" \
  eval 'called "dpkg --add-architecture i386" && called "dpkg --remove-architecture i386" &&
        [ ! -s "$STUB/foreign" ]'
: >"$STUB/calls"
STUB_UNINSTALLABLE="wine32:i386" provision yes
status=$?
check "a second run calls no package tool for wine32" \
  eval '[ $status -eq 0 ] && no_package_tool_called && grep -q "not asking again" "$STUB/out"'
provision yes --retry
status=$?
check "--retry asks for wine32 again and keeps i386 once it installs" \
  eval '[ $status -eq 0 ] && called "wine32:i386" && ! called "--remove-architecture" &&
        grep -qx i386 "$STUB/foreign"'

# An index that cannot be read is a warning; the packages still install.
new_machine bare
STUB_FAIL_UPDATE=1 provision no
status=$?
check "a failing index warns and installs from what it has" \
  eval '[ $status -eq 0 ] && grep -q "apt-get update failed for some index" "$STUB/err" &&
        called "apt-get install"'

# A machine that has everything: no package tool at all.
new_machine complete wine32
provision yes
status=$?
check "a machine that has everything calls no package tool" \
  eval '[ $status -eq 0 ] && no_package_tool_called && [ ! -s "$STUB/out" ]'

# A required package that cannot be had stops the set-up and is named; the i386
# architecture asked for alongside is taken away again.
new_machine bare
STUB_UNINSTALLABLE="cmake" provision yes
status=$?
check "a required package that cannot be had stops and is named" \
  eval '[ $status -ne 0 ] && grep -q "these packages could not be installed: cmake$" "$STUB/err" &&
        [ ! -s "$STUB/foreign" ]'

# The shipped build's emulation: asked for only with --shipped, only where the kernel cannot
# run i386 programs itself, and qemu registered for them through binfmt_misc.
new_machine complete wine32
mkdir -p "$STUB/binfmt" "$STUB/root/usr/bin"
touch "$STUB/binfmt/register"
printf '#!/bin/bash\n' >"$STUB/root/usr/bin/qemu-i386-static"
chmod +x "$STUB/root/usr/bin/qemu-i386-static"
provision no
check "without --shipped nothing of the emulation is asked for" \
  eval 'no_package_tool_called && [ ! -s "$STUB/binfmt/register" ]'
rm -f "$STUB/root/usr/lib/wine/wine"
provision no --shipped
status=$?
check "--shipped installs qemu, binfmt-support and wine32 and registers qemu for i386" \
  eval '[ $status -eq 0 ] && called " qemu-user-static" && called " binfmt-support" &&
        called "wine32:i386" && called "dpkg --add-architecture i386" &&
        grep -q "^:qemu-i386:M::.x7fELF.x01.x01.x01.*:/usr/bin/qemu-i386-static:F$" "$STUB/binfmt/register"'
new_machine complete
provision yes --shipped
status=$?
check "--shipped where the kernel runs i386 itself asks for wine32 alone and registers nothing" \
  eval '[ $status -eq 0 ] && called "wine32:i386" && ! called "qemu-user-static" &&
        [ ! -e "$STUB/binfmt/register" ]'
new_machine complete wine32
provision no --shipped
status=$?
check "--shipped where qemu cannot be had is one warning naming it" \
  eval '[ $status -eq 0 ] && [ $(grep -c warning "$STUB/err") -eq 1 ] &&
        grep -q "qemu-user-static is not installed\|binfmt_misc cannot be mounted" "$STUB/err"'

finish
