#!/usr/bin/env bash
# Builds the fuzz targets of fuzz/ with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer into build-fuzz/ (or $FUZZ_BUILD_DIR), and runs
# each for a bounded time over its committed corpus. Fails on any crash, leak,
# sanitizer report or broken invariant; the input that failed is copied to
# fuzz/regressions/<target>/ to be committed with its fix.
#
#   scripts/fuzz.sh [TARGET...]
#
# FUZZ_SECONDS: time per target (default 30). FUZZ_RUNS: executions after
# which a target stops sooner (default: no bound). FUZZ_JOBS: targets run at once
# (default: the number of processors). FUZZ_KEEP_CORPUS=1 keeps the inputs a
# run found in build-fuzz/corpus/<target> for the next run.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
seconds="${FUZZ_SECONDS:-30}"
jobs="${FUZZ_JOBS:-$(nproc)}"

started=$SECONDS
# A debug build, so that the assertions of Qt's containers (an index past the
# end of a string or list) are on, with light optimisation and line tables
# for the sanitizers' stack traces.
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS_DEBUG="-O1 -gline-tables-only" -DORDWICK_FUZZ=ON -DBUILD_TESTING=OFF \
    >/dev/null
cmake --build "$build" --target ordwick_fuzz --parallel "$(nproc)"
echo "fuzz.sh: targets built in $((SECONDS - started)) s"

if [ $# -gt 0 ]; then
    targets=("$@")
else
    targets=()
    for program in "$build"/fuzz/fuzz_*; do
        [ -L "$program" ] && targets+=("${program##*/fuzz_}")
    done
fi

# The targets that read files write them in memory, not to a busy disk.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    export TMPDIR=/dev/shm
fi
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:symbolize=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp:print_suppressions=0"

# The public sample tables beside the checkout, read in place (never copied
# into the repository), as more seeds of the dBase target: its input is the
# table's length in two bytes (top bit: FoxPro memo), the table, the memo file.
fixture_seeds() {
    local fixtures="$root/../shared/fixtures/dbase" out="$build/seeds/dbase_table"
    rm -rf "$out"
    mkdir -p "$out"
    [ -d "$fixtures" ] || return 0
    local table memo size head
    for table in "$fixtures"/*.dbf; do
        size=$(stat -c %s "$table")
        if [ "$size" -ge 32768 ]; then
            continue
        fi
        memo="$(find "$fixtures" -maxdepth 1 -iname "$(basename "${table%.*}").fpt" | head -1)"
        head=$size
        if [ -n "$memo" ]; then
            head=$((size | 0x8000))
        fi
        {
            printf "$(printf '\\x%02x\\x%02x' $((head >> 8)) $((head & 255)))"
            cat "$table"
            if [ -n "$memo" ]; then cat "$memo"; fi
        } >"$out/$(basename "$table")"
    done
}
fixture_seeds

# One target: its committed seeds and anything an earlier kept run found,
# with its dictionary where the format has one. Writes the run's log and,
# on a failure, the failing input.
run_target() {
    local name="$1"
    local work="$build/runs/$name"
    rm -rf "$work"
    mkdir -p "$work/new" "$work/artifacts" "$build/corpus/$name" "$build/seeds/$name"
    local options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048
                   -max_len=8192 -print_final_stats=1 -artifact_prefix="$work/artifacts/")
    if [ -n "${FUZZ_RUNS:-}" ]; then
        options+=(-runs="$FUZZ_RUNS")
    fi
    if [ -f "$root/fuzz/dictionaries/$name.dict" ]; then
        options+=(-dict="$root/fuzz/dictionaries/$name.dict")
    fi
    local corpus="$work/new"
    [ "${FUZZ_KEEP_CORPUS:-0}" = 1 ] && corpus="$build/corpus/$name"
    (cd "$work" && "$build/fuzz/fuzz_$name" "${options[@]}" "$corpus" \
        "$root/fuzz/corpus/$name" "$root/fuzz/regressions/$name" "$build/seeds/$name" \
        >"$work/log" 2>&1)
}

failed=()
pids=()
names=()
for name in "${targets[@]}"; do
    mkdir -p "$root/fuzz/regressions/$name"
    run_target "$name" &
    pids+=($!)
    names+=("$name")
    if [ ${#pids[@]} -ge "$jobs" ]; then
        wait "${pids[0]}" || failed+=("${names[0]}")
        pids=("${pids[@]:1}")
        names=("${names[@]:1}")
    fi
done
for i in "${!pids[@]}"; do
    wait "${pids[$i]}" || failed+=("${names[$i]}")
done

for name in "${targets[@]}"; do
    log="$build/runs/$name/log"
    runs="$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | grep -o '[0-9]*$' || true)"
    cov="$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*$' || true)"
    printf 'fuzz.sh: %-18s %10s executions  cov %s\n' "$name" "${runs:-?}" "${cov:-?}"
done

if [ ${#failed[@]} -gt 0 ]; then
    for name in "${failed[@]}"; do
        echo "fuzz.sh: $name FAILED; its log:" >&2
        tail -60 "$build/runs/$name/log" >&2
        for input in "$build/runs/$name/artifacts/"*; do
            [ -f "$input" ] || continue
            cp "$input" "$root/fuzz/regressions/$name/"
            echo "fuzz.sh: the failing input is now fuzz/regressions/$name/${input##*/}" >&2
        done
    done
    exit 1
fi
echo "fuzz.sh: all ${#targets[@]} targets passed in $((SECONDS - started)) s"
