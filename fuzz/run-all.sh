#!/usr/bin/env bash
# Runs every fuzz target in turn for SECONDS each, from the checkout:
#   fuzz/run-all.sh 60             every target
#   fuzz/run-all.sh 600 game_state change
# Builds the instrumented targets into build/fuzz (clang, whole project
# instrumented) the first time, writes seed corpora from the bundled
# scenarios, brains and seeded duels into build/fuzz/seeds, keeps what each
# target finds in build/fuzz/corpus/<target>, and crashing inputs in
# build/fuzz/crashes/<target>; once fixed, keep each crashing input under
# fuzz/regressions/<target>, which every run and the tests read again.
# Prints, per target, the edges covered, the executions and the CPU seconds,
# and adds them to build/fuzz/history.tsv (fuzz/run-all.sh --summary adds up
# every run so far); exits 1 when any target found a fault.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QX_FUZZ_BUILD_DIR:-$root/build/fuzz}"
history="$build/history.tsv"
if [ "${1:-}" = "--summary" ]; then
  [ -f "$history" ] || { echo "no fuzz runs recorded in $history"; exit 1; }
  printf '%-12s %10s %14s %10s  %s\n' target edges executions cpu-s result
  awk -F'\t' '{ runs[$1] += $3; cpu[$1] += $4; if ($2 > edges[$1]) edges[$1] = $2; if ($5 != "clean") bad[$1] = 1 }
       END { for (t in runs) printf "%-12s %10d %14d %10d  %s\n", t, edges[t], runs[t], cpu[t], bad[t] ? "FOUND FAULTS" : "clean" }' \
    "$history" | sort
  exit 0
fi
if [ $# -lt 1 ] || ! [[ "$1" =~ ^[0-9]+$ ]]; then
  sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//'
  exit 2
fi
seconds="$1"
shift

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DQX_BUILD_FUZZERS=ON >/dev/null
fi
cmake --build "$build" --target fuzzers >/dev/null

seeds="$build/seeds"
if [ ! -d "$seeds" ]; then
  echo "== Writing seed corpora into $seeds"
  "$build/fuzz/make_fuzz_corpus" "$root/data" "$seeds"
fi

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for binary in "$build"/fuzz/fuzz_*; do targets+=("$(basename "$binary" | sed 's/^fuzz_//')"); done
fi

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
printf '%-12s %10s %14s %10s  %s\n' target edges executions cpu-s result
failed=0
for target in "${targets[@]}"; do
  binary="$build/fuzz/fuzz_$target"
  [ -x "$binary" ] || { echo "no fuzz target $target" >&2; exit 2; }
  corpus="$build/corpus/$target"
  crashes="$build/crashes/$target"
  mkdir -p "$corpus" "$crashes" "$seeds/$target"
  dict=()
  [ -f "$root/fuzz/dict/$target.dict" ] && dict=(-dict="$root/fuzz/dict/$target.dict")
  log="$build/logs/$target.log"
  mkdir -p "$(dirname "$log")"
  status=0
  TIMEFORMAT='%U %S'
  # Inputs that once found a fault are read first, every run.
  regressions=()
  [ -d "$root/fuzz/regressions/$target" ] && regressions=("$root/fuzz/regressions/$target")
  { time "$binary" "$corpus" "$seeds/$target" ${regressions[@]+"${regressions[@]}"} "${dict[@]}" -max_total_time="$seconds" -timeout=20 \
      -rss_limit_mb=2048 -artifact_prefix="$crashes/" -print_final_stats=1 >"$log" 2>&1 || status=$?; } \
    2>"$log.time"
  # A fault while the corpus loads leaves no coverage line: still report it.
  edges=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | awk '{print $2}' || true)
  runs=$(grep 'stat::number_of_executed_units' "$log" | awk '{print $2}' || true)
  cpu=$(awk '{ printf "%.0f", $1 + $2 }' "$log.time")
  result=clean
  if [ "$status" -ne 0 ]; then
    result="FOUND A FAULT (see $log and $crashes)"
    failed=1
  fi
  printf '%-12s %10s %14s %10s  %s\n' "$target" "${edges:-?}" "${runs:-?}" "$cpu" "$result"
  printf '%s\t%s\t%s\t%s\t%s\n' "$target" "${edges:-0}" "${runs:-0}" "$cpu" "${result%% *}" >>"$history"
done
exit "$failed"
