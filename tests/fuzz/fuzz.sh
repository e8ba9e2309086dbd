#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer,
# assertions on) and runs one target, or every target in turn, for the given number of seconds.
#
# Usage: tests/fuzz/fuzz.sh <target>|all <seconds> [build folder, default build-fuzz]
#   tests/fuzz/fuzz.sh list          lists the targets
#
# Each target keeps its corpus in <build folder>/corpus/<target>, seeded from examples/; the corpus
# grows from run to run. The log of a run is <build folder>/logs/<target>.log; a finding is saved
# as <build folder>/findings/<target>-crash-..., -leak-... or -timeout-..., and the script then
# fails. Replay a finding: <build folder>/tests/fuzz/<target> <finding file>.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"

targets=(fuzz_records fuzz_layout fuzz_tables fuzz_analysis_file fuzz_analysis2_file fuzz_entry_file
         fuzz_analysis_dialog fuzz_analysis2_dialog fuzz_entry_dialog)

if [ "${1:-}" = list ]; then printf '%s\n' "${targets[@]}"; exit 0; fi
if [ $# -lt 2 ]; then sed -n '5,7p' "$0" >&2; exit 64; fi
which=$1 seconds=$2 build=${3:-$root/build-fuzz}
case "$build" in /*) ;; *) build="$PWD/$build" ;; esac
if [ "$which" = all ]; then run=("${targets[@]}"); else run=("$which"); fi
for t in "${run[@]}"; do
  [[ " ${targets[*]} " == *" $t "* ]] || { echo "no fuzz target $t" >&2; exit 64; }
done

# Build: clang with the fuzzer's coverage in every library, assertions on, a light optimisation.
cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DFLOWNET_FUZZ=ON -DFLOWNET_TESTS=OFF \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" >/dev/null
cmake --build "$build" -j2 --target "${run[@]}" >/dev/null

# Seeds from the examples: the network files for the readers, the answer files (and answers
# written after the examples' dialogs) for the dialogs.
ex="$root/examples"
seed() {  # seed <target> <name> <contents>
  printf '%b' "$3" > "$build/corpus/$1/seed-$2"
}
seedDialogs() {
  local t=$1
  case "$t" in
    fuzz_records|fuzz_layout|fuzz_analysis_file|fuzz_analysis2_file|fuzz_entry_file)
      cp "$ex"/*.dat "$build/corpus/$t/" ;;
    fuzz_tables)
      cp "$ex"/*.csv "$build/corpus/$t/" ;;
    fuzz_analysis_dialog|fuzz_analysis2_dialog)
      cp "$ex/marsh.answers" "$build/corpus/$t/seed-marsh.answers"
      seed "$t" refusals 'none.dat\nn\npond.dat\nn\nN\npond.dat\ny\nmarsh.dat\nn\nn\nrep.txt\ny\n'
      seed "$t" same 'pond.dat\ny\npond.dat\ny\ny\nrep.txt\n\n'
      { cat "$ex/pond.dat"; printf '@@@\nr.dat\ny\nr.txt\ny\n'; } > "$build/corpus/$t/seed-file" ;;
    fuzz_entry_dialog)
      seed "$t" edit '2\npond.dat\ny\ny\n2\n4.5\nn\ny\n0.01\ny\n1\n60\n-1\nn\nn\nn\ny\n1\n3\n5\n-1\nn\ny\nout.dat\n'
      seed "$t" keyboard '1\nTWO BOXES\n2\n1\nALGAE\nDETRITUS\n100\n50\nn\n0.01\n1\n10\n-1\nn\n1\n1\n-1\nn\n1\n2\n2\n5\n-1\nn\n1\n2\n8\n-1\nn\ntemp.dat\ny\nfinal.dat\n'
      { cat "$ex/marsh.dat"; printf '@@@\n2\nr.dat\nn\ny\nout.dat\n'; } > "$build/corpus/$t/seed-file" ;;
  esac
}

mkdir -p "$build/logs" "$build/findings"
for t in "${run[@]}"; do
  mkdir -p "$build/corpus/$t"
  seedDialogs "$t"
  echo "fuzzing $t for $seconds s (log: $build/logs/$t.log)"
  status=0
  "$build/tests/fuzz/$t" "$build/corpus/$t" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="$build/findings/$t-" > "$build/logs/$t.log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/logs/$t.log")
  echo "  $t: ${runs:-?} runs, corpus $(ls "$build/corpus/$t" | wc -l) files, status $status"
  if [ "$status" -ne 0 ]; then
    tail -n 40 "$build/logs/$t.log" >&2
    echo "fuzz target $t failed; findings in $build/findings" >&2
    exit 1
  fi
done
