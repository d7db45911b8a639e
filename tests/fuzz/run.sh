#!/usr/bin/env bash
# Builds the fuzz tests natively (clang, libFuzzer, address and
# undefined-behaviour sanitizers), replays their seed corpora and regression
# inputs, then fuzzes each for a while:
#   options  the options-file reader (default 45 seconds, or the argument)
#   zmbv     the codec's decoder and encoder (default 20 seconds, or
#            VELMORAX_FUZZ_CODEC_SECONDS)
#   recovery the rebuild of a recording whose program died: journal and
#            file (default 15 seconds, or VELMORAX_FUZZ_RECOVERY_SECONDS)
#
#     tests/fuzz/run.sh [seconds]
#
# Exits non-zero when a build fails or any input makes a test fail; the
# failing input is copied into the target's regressions folder so that it is
# kept.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
work=$(mktemp -d /tmp/velmorax-fuzz.XXXXXX)
trap 'rm -rf "$work"' EXIT
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
passed=0
failed=0

# fuzz NAME SECONDS MAX_LEN CORPUS REGRESSIONS -- SOURCES... [-lLIB]
fuzz() {
    local name=$1 seconds=$2 max_len=$3 corpus=$4 regressions=$5
    shift 6
    local binary="$work/fuzz_$name" artifacts="$work/artifacts_$name" status=0
    mkdir -p "$artifacts" "$work/corpus_$name"
    echo "fuzz: building $name natively"
    if ! clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
            -Wall -Wextra -I"$root" "$@" -o "$binary"; then
        failed=$((failed + 1))
        return
    fi
    echo "fuzz: replaying the $name seeds and regression inputs"
    "$binary" -runs=0 -artifact_prefix="$artifacts/" "$corpus" "$regressions" >"$work/replay_$name.log" 2>&1 || {
        tail -40 "$work/replay_$name.log"; status=1; }
    if [ $status -eq 0 ]; then
        echo "fuzz: fuzzing $name for $seconds seconds"
        "$binary" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -print_final_stats=1 \
            -artifact_prefix="$artifacts/" "$work/corpus_$name" "$corpus" >"$work/fuzz_$name.log" 2>&1 || status=1
        grep -E '^stat::number_of_executed_units|^stat::peak_rss' "$work/fuzz_$name.log"
        [ $status -eq 0 ] || tail -40 "$work/fuzz_$name.log"
    fi
    if [ $status -ne 0 ]; then
        for f in "$artifacts"/*; do
            [ -f "$f" ] || continue
            cp "$f" "$regressions/"
            echo "fuzz: failing input kept as ${regressions#$root/}/$(basename "$f")"
        done
        failed=$((failed + 1))
    else
        passed=$((passed + 1))
    fi
}

fuzz options "${1:-45}" 4096 "$here/corpus" "$here/regressions" -- \
    "$root/settings/OptionList.cpp" "$root/settings/SettingsTable.cpp" "$root/settings/AppSettings.cpp" \
    "$here/fuzz_options.cpp"
fuzz zmbv "${VELMORAX_FUZZ_CODEC_SECONDS:-20}" 8192 "$here/zmbv_corpus" "$here/zmbv_regressions" -- \
    "$root/codec/ZmbvEncoder.cpp" "$root/codec/KeyFrameDeflater.cpp" "$root/codec/CodecWorker.cpp" \
    "$root/codec/ZmbvDecoder.cpp" \
    "$here/fuzz_zmbv.cpp" -lz
fuzz recovery "${VELMORAX_FUZZ_RECOVERY_SECONDS:-15}" 16384 "$here/recovery_corpus" "$here/recovery_regressions" -- \
    "$root/recovery/JournalFormat.cpp" "$root/recovery/AviScan.cpp" "$root/recovery/AviRebuild.cpp" \
    "$here/fuzz_recovery.cpp"

echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
