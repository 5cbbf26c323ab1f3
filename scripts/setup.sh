#!/usr/bin/env bash
# Everything a command needs on a bare Debian 12 machine: the packages (as root, only what
# is missing), then the build. Sourced by test.sh, run.sh and the other commands.
set -euo pipefail
"$(dirname "${BASH_SOURCE[0]}")/provision.sh"
source "$(dirname "${BASH_SOURCE[0]}")/build.sh"
