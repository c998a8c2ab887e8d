#!/usr/bin/env bash
# Runs the fuzz targets one after another, each for a set time, and prints what each did:
#   fuzz/run_fuzzers.sh [--build DIR] [--seconds N] [TARGET...]
# DIR is a build folder configured with clang and -DCATACLYSM_FUZZ=ON (default build-asan);
# N defaults to 600. TARGETs are targa, multitex, repository, wave and oggvorbis (default all).
# Each target grows its own corpus in DIR/fuzz-corpus/TARGET from the seeds the build made in
# DIR/fuzz-seeds/TARGET, so later runs go on where earlier ones stopped. An input that makes a
# target fail is kept as DIR/fuzz-artifacts/TARGET-crash-... (or -leak-, -timeout-, -oom-), and
# the script exits non-zero. A summary line per target is added to DIR/fuzz-summary.txt.
set -euo pipefail

build=build-asan
seconds=600
targets=()
while [ $# -gt 0 ]; do
    case "$1" in
        --build) build="$2"; shift 2 ;;
        --seconds) seconds="$2"; shift 2 ;;
        -h|--help) sed -n '2,10p' "$0"; exit 0 ;;
        *) targets+=("$1"); shift ;;
    esac
done
[ ${#targets[@]} -gt 0 ] || targets=(targa multitex repository wave oggvorbis)

# The longest input each target makes: room for a small image, bundle or settings file, and
# for the headers and a few pages of an Ogg Vorbis stream.
max_len_for() {
    case "$1" in
        oggvorbis) echo 16384 ;;
        *) echo 4096 ;;
    esac
}

build=$(cd "$build" && pwd)
suppressions="$(cd "$(dirname "$0")/.." && pwd)/tests/lsan.supp"
failed=0
for target in "${targets[@]}"; do
    binary="$build/bin/fuzz-$target"
    seeds="$build/fuzz-seeds/$target"
    corpus="$build/fuzz-corpus/$target"
    artifacts="$build/fuzz-artifacts"
    log="$build/fuzz-logs/$target.log"
    if [ ! -x "$binary" ] || [ ! -d "$seeds" ]; then
        echo "fuzz $target: $binary or its seeds $seeds are missing; build $build first" >&2
        exit 1
    fi
    mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"
    status=0
    ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$suppressions" \
        "$binary" "$corpus" "$seeds" -max_total_time="$seconds" -max_len="$(max_len_for "$target")" \
        -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$artifacts/$target-" > "$log" 2>&1 || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    took=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
    last=$(grep -aE '^#[0-9]+' "$log" | tail -1 || true)
    cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<< "$last")
    features=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<< "$last")
    corpus_size=$(sed -n 's/.* corp: \([0-9]*\/[0-9]*[a-zA-Z]*\).*/\1/p' <<< "$last")
    result=clean
    if [ "$status" -ne 0 ]; then
        result="FAILED (exit $status; see $log)"
        failed=1
        grep -aE 'ERROR|SUMMARY|runtime error|Test unit written' "$log" | head -5 >&2 || true
    fi
    line="fuzz $target: ${took:-?}s, ${runs:-?} runs, cov ${cov:-?}, ft ${features:-?}, corpus ${corpus_size:-?}: $result"
    echo "$line"
    echo "$(date -u +%FT%TZ) $line" >> "$build/fuzz-summary.txt"
done
exit "$failed"
