#!/usr/bin/env bash
# Installs what is missing, builds and runs every test; exits non-zero on any failure.
set -euo pipefail
qv_root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$qv_root/scripts/deps.sh"
qv_install_missing
qv_build "$qv_root/build"
cd "$qv_root/build"
ctest -j "$(nproc)" --output-on-failure --timeout 900
