#!/usr/bin/env bash
# What the set-up tests share: a scratch folder, the count of checks, and the closing line.
# Sourced; the test defines show_failure, which prints what a failed check should show.
set -uo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0

# check WHAT COMMAND...: counts the check, and shows the case where it failed.
check() {
  local what=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
    echo "ok: $what"
  else
    failed=$((failed + 1))
    echo "FAILED: $what"
    show_failure
  fi
}

# The closing line, and the status of the whole test.
finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}
