#!/usr/bin/env bash
# Runs the cross-compiled contract tests under Wine on the test rig (an X server with real
# display modes) and passes on their result.
#
#   run-under-wine.sh PATH/cadenzo_contract_tests.exe [GoogleTest options...]
#
# The rig lives in CADENZO_RIG_DIR (default: beside the program) and is stopped afterwards.
set -uo pipefail

exe=${1:?usage: run-under-wine.sh PATH/cadenzo_contract_tests.exe [options]}
shift
if [[ ! -f $exe ]]; then
    echo "contract tests: $exe does not exist." >&2
    echo "Build it first: scripts/build.sh win64 win32" >&2
    exit 1
fi
exe=$(realpath "$exe")
rig=$(cd "$(dirname "${BASH_SOURCE[0]}")/../rig" && pwd)/rig.sh
# Wine takes the ANSI code page from the locale: this one gives code page 1252, which the text
# conversion cases expect.
export LC_ALL=C.UTF-8
export CADENZO_RIG_DIR=${CADENZO_RIG_DIR:-$(dirname "$exe")/contract-rig}

"$rig" start >/dev/null || { echo "contract tests: the Wine rig did not start" >&2; exit 1; }
trap '"$rig" stop' EXIT
"$rig" run "$exe" "$@" </dev/null
