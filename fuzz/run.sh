#!/usr/bin/env bash
# Runs every libFuzzer target of a CORVEX_FUZZ build for a while, one after another, and sums up.
#   fuzz/run.sh BUILD_DIR [SECONDS_PER_TARGET] [TARGET...]
# Each target starts from its seeds and kept corpus and grows its own working corpus in
# BUILD_DIR/fuzz/work/<target>/; a crashing input lands in BUILD_DIR/fuzz/crashes/<target>/. Exits non-zero
# when any target crashed, after running the others.
set -uo pipefail
cd "$(dirname "$0")/.."

build=${1:?usage: fuzz/run.sh BUILD_DIR [SECONDS_PER_TARGET] [TARGET...]}
seconds=${2:-60}
shift $(( $# < 2 ? $# : 2 ))
targets=("$@")
if [ "${#targets[@]}" -eq 0 ]; then
    for program in "$build"/fuzz/fuzz_*; do
        targets+=("$(basename "$program" | sed 's/^fuzz_//')")
    done
fi

failed=0
summary=()
for target in "${targets[@]}"; do
    program="$build/fuzz/fuzz_$target"
    work="$build/fuzz/work/$target"
    crashes="$build/fuzz/crashes/$target"
    log="$build/fuzz/logs/$target.log"
    mkdir -p "$work" "$crashes" "$(dirname "$log")"
    corpora=("$work" "$build/fuzz/seeds/$target")
    [ -d "fuzz/corpus/$target" ] && corpora+=("fuzz/corpus/$target")
    echo "== $target: ${seconds}s"
    # The readers report every refused input on stderr; libFuzzer's own lines and any crash report stay.
    "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -close_fd_mask=2 \
        -artifact_prefix="$crashes/" -print_final_stats=1 "${corpora[@]}" >"$log" 2>&1 &
    pid=$!
    wait "$pid"
    status=$?
    # A target that crashed could not remove its settings folder, named by its process.
    rm -rf "/dev/shm/corvex-fuzz-$pid" "${TMPDIR:-/tmp}/corvex-fuzz-$pid"
    runs=$(sed -n 's/^Done \([0-9]*\) runs in \([0-9]*\) second.*/\1 runs in \2 s/p' "$log" | tail -n 1)
    if [ "$status" -ne 0 ]; then
        failed=1
        artifact=$(sed -n 's/.*Test unit written to \(.*\)/\1/p' "$log" | tail -n 1)
        summary+=("$target: FAILED (exit $status)${artifact:+, input in $artifact}; see $log")
        grep -m 1 -E "ERROR: (AddressSanitizer|libFuzzer)|runtime error" "$log" | sed 's/^/    /'
    else
        summary+=("$target: ${runs:-no run count}, no crash")
    fi
done

echo
printf '%s\n' "${summary[@]}"
exit "$failed"
