#!/usr/bin/env bash
# Runs every test: the unit tests and the integration tests under Wine, each
# in a fresh prefix and on its own display, and the include direction (all
# through ctest), plus the checks of the 32-bit build and short native fuzz
# runs of the options-file reader, the recovery and the codec.
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
. scripts/wine-env.sh

work=$(mktemp -d /tmp/velmorax-tests.XXXXXX)
velmorax_at_exit "rm -rf '$work'"
velmorax_at_exit "WINEPREFIX='$work/prefix' '$VELMORAX_WINESERVER' -k >/dev/null 2>&1"

echo "test: preparing a pristine Wine prefix"
velmorax_make_prefix "$work/prefix"
export VELMORAX_TEST_PREFIX="$work/prefix"

status=0
echo "test: the 32-bit build"
bash tests/check_win32.sh || status=1

echo "test: fuzzing the options-file reader and the codec (native builds)"
bash tests/fuzz/run.sh "${VELMORAX_FUZZ_SECONDS:-45}" || status=1

# One test at a time: each runs Wine, Xvfb and the program on this machine's two cores.
ctest --test-dir build/win64 --output-on-failure || status=1
exit $status
