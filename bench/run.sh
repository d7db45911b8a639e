#!/usr/bin/env bash
# Recording benchmark: Velmorax against ffmpeg's x11grab on the same
# virtual screen. Needs the win64 build (scripts/setup.sh).
#   bench/run.sh                       1280x720 at 30 fps against x11grab (about 6 minutes)
#   bench/run.sh --sizes [WxH@FPS,...] large screens against x264 lossless, utvideo and zmbv, with
#                                      empty positions and the writer's longest frame (default
#                                      1920x1080@30,1920x1080@60,2560x1440@60,3840x2160@30, 2 rounds:
#                                      about 15 minutes; one size and round with all four recorders
#                                      about 1.7 minutes, with VELMORAX_BENCH_ONLY=velmorax_codec 40 s)
#   bench/run.sh --limit               the real file size limit instead (see record_bench.py)
#   VELMORAX_BENCH_SECONDS   measured interval per recorder (default 8; 10 with --sizes)
#   VELMORAX_BENCH_ROUNDS    rounds of all recorders (default 3; 2 with --sizes)
#   VELMORAX_BENCH_ONLY      with --sizes: the recorders to run (see record_bench.py)
#   VELMORAX_TEST_PREFIX     a pristine Wine prefix to copy (else one is made)
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/scripts/wine-env.sh"
export VELMORAX_DIST_DIR=${VELMORAX_DIST_DIR:-$here/dist/win64}
export VELMORAX_WINTOOL=${VELMORAX_WINTOOL:-$here/build/win64/tests/wintool.exe}
made=""
if [ -z "${VELMORAX_TEST_PREFIX:-}" ]; then
    made=$(mktemp -d /tmp/velmorax-bench-prefix.XXXXXX)
    echo "bench: preparing a Wine prefix..." >&2
    velmorax_make_prefix "$made"
    export VELMORAX_TEST_PREFIX=$made
fi
python3 "$here/bench/record_bench.py" "$@"
rc=$?
if [ -n "$made" ]; then
    WINEPREFIX=$made "$VELMORAX_WINESERVER" -k >/dev/null 2>&1
    rm -rf "$made"
fi
exit $rc
