#!/usr/bin/env bash
# Installs what is missing, builds (Release, incremental) and starts the editor with the arguments.
set -euo pipefail
qv_root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$qv_root/scripts/deps.sh"
qv_install_missing
qv_build "$qv_root/build"
exec "$qv_root/build/quirvane" "$@"
