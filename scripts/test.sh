#!/usr/bin/env bash
# Installs what is needed, builds everything and runs every test: native unit and contract
# tests under the sanitizers, the contract tests under Wine, and the end-to-end tests of the
# real Cadenzo.exe under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh native win64 win32
ctest --preset native -j2 "$@"
