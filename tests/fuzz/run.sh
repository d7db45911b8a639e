#!/usr/bin/env bash
# Builds the fuzz test of the options-file reader natively (clang, libFuzzer,
# address and undefined-behaviour sanitizers), replays the seed corpus and
# the regression inputs, then fuzzes for a while (default 45 seconds).
#
#     tests/fuzz/run.sh [seconds]
#
# Exits non-zero when the build fails or any input makes the test fail; the
# failing input is copied into tests/fuzz/regressions/ so that it is kept.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
seconds=${1:-45}
work=$(mktemp -d /tmp/velmorax-fuzz.XXXXXX)
trap 'rm -rf "$work"' EXIT

echo "fuzz: building natively"
if ! clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
        -Wall -Wextra -I"$root" \
        "$root/settings/OptionList.cpp" "$root/settings/SettingsTable.cpp" "$root/settings/AppSettings.cpp" \
        "$here/fuzz_options.cpp" -o "$work/fuzz_options"; then
    echo "0 passed, 1 failed"
    exit 1
fi

export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
status=0
echo "fuzz: replaying the seeds and regression inputs"
mkdir -p "$work/artifacts"
"$work/fuzz_options" -runs=0 -artifact_prefix="$work/artifacts/" "$here/corpus" "$here/regressions" >"$work/replay.log" 2>&1 || {
    tail -40 "$work/replay.log"; status=1; }
keep_artifacts() {
    for f in "$work/artifacts"/*; do
        [ -f "$f" ] || continue
        cp "$f" "$here/regressions/"
        echo "fuzz: failing input kept as tests/fuzz/regressions/$(basename "$f")"
    done
}
[ $status -eq 0 ] || keep_artifacts

if [ $status -eq 0 ]; then
    echo "fuzz: fuzzing for $seconds seconds"
    mkdir -p "$work/corpus"
    "$work/fuzz_options" -max_total_time="$seconds" -max_len=4096 -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$work/artifacts/" "$work/corpus" "$here/corpus" >"$work/fuzz.log" 2>&1 || status=1
    grep -E '^stat::number_of_executed_units|^stat::peak_rss' "$work/fuzz.log"
    if [ $status -ne 0 ]; then
        tail -40 "$work/fuzz.log"
        keep_artifacts
    fi
fi
[ $status -eq 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $status
