#!/usr/bin/env bash
# Builds everything and runs every test: the Win32 programs under Wine, the parsers natively under
# the sanitizers, the fuzz targets for a bounded time. Ends with ctest's summary.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/bootstrap.sh
scripts/build.sh

source scripts/wine-env.sh build
nimbra_session_start 1024x768

# One ctest run over both builds, so that one summary closes the output.
cat > build/CTestTestfile.cmake <<'CTEST'
subdirs(native win32)
CTEST
ctest --test-dir build --output-on-failure -j2 "$@"
