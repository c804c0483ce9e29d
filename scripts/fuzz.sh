#!/usr/bin/env bash
# Runs every fuzz target (fuzz/fuzz_*.cpp) for a number of minutes, a few at a time, and prints the
# executions, coverage and findings of each.
#   scripts/fuzz.sh [minutes per target, default 10] [targets at a time, default 2]
# FUZZ_TARGETS="wav curve" picks targets; FUZZ_MAX_LEN sets the largest input (default 4096), and inputs
# then grow to it from the start instead of a few bytes at a time. Builds with clang into build-fuzz/
# (or $BUILD_DIR) under AddressSanitizer and UndefinedBehaviorSanitizer. Each target grows its own corpus in
# <build>/fuzz-run/corpus/<target> from the seeds in fuzz/corpus/<target>; crash, leak and timeout
# inputs land in <build>/fuzz-run/findings/<target>/, the target's output in <build>/fuzz-run/<target>.log.
# Exits with 1 when a target found anything.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build-fuzz}"
minutes="${1:-10}"
parallel="${2:-2}"
run="$build/fuzz-run"

"$root/scripts/deps.sh"
# Only this optional build needs clang and its libFuzzer runtime.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
missing=()
for p in "${FUZZ_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DQUILLON_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target quillon_fuzz -j "$(nproc)"

if [ -n "${FUZZ_TARGETS:-}" ]; then
    read -r -a targets <<<"$FUZZ_TARGETS"
else
    targets=()
    for f in "$root"/fuzz/fuzz_*.cpp; do
        t="$(basename "$f" .cpp)"
        targets+=("${t#fuzz_}")
    done
fi

export UBSAN_OPTIONS="print_stacktrace=1"

fuzz_one() {
    local t="$1" dict=() length=()
    mkdir -p "$run/corpus/$t" "$run/findings/$t"
    [ -f "$root/fuzz/dict/$t.dict" ] && dict=(-dict="$root/fuzz/dict/$t.dict")
    # 4096 bytes by default: far beyond every seed, and quick. Deep nesting and long lines need hundreds
    # of KB (FUZZ_MAX_LEN=1000000), which libFuzzer's length control would take hours to reach.
    [ -n "${FUZZ_MAX_LEN:-}" ] && length=(-len_control=0)
    "$build/fuzz/fuzz_$t" -max_total_time=$((minutes * 60)) -max_len="${FUZZ_MAX_LEN:-4096}" -timeout=10 \
        -print_final_stats=1 \
        "${dict[@]}" "${length[@]}" -artifact_prefix="$run/findings/$t/" "$run/corpus/$t" "$root/fuzz/corpus/$t" \
        >"$run/$t.log" 2>&1 || true
}

mkdir -p "$run"
echo "Fuzzing ${targets[*]} for $minutes minute(s) each, $parallel at a time"
running=0
for t in "${targets[@]}"; do
    fuzz_one "$t" &
    running=$((running + 1))
    if [ "$running" -ge "$parallel" ]; then
        wait -n || true
        running=$((running - 1))
    fi
done
wait

found=0
printf '%-12s %12s %8s %8s %8s  %s\n' target executions cov ft corpus findings
for t in "${targets[@]}"; do
    log="$run/$t.log"
    execs="$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | grep -o '[0-9]*$' || true)"
    cov="$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*$' || true)"
    ft="$(grep -o 'ft: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*$' || true)"
    corpus="$(find "$run/corpus/$t" -type f | wc -l)"
    findings="$(find "$run/findings/$t" -type f | wc -l)"
    [ "$findings" -gt 0 ] && found=1
    note="$findings"
    grep -q -e 'ERROR: libFuzzer' -e 'ERROR: AddressSanitizer' -e 'runtime error:' "$log" && { note="$findings (see $log)"; found=1; }
    printf '%-12s %12s %8s %8s %8s  %s\n' "$t" "${execs:-?}" "${cov:-?}" "${ft:-?}" "$corpus" "$note"
done
exit "$found"
