#!/usr/bin/env bash
# Times the same analysis run through the console dialog and through the command line, side by
# side, for flowanalysis and flowanalysis2, and checks that both write the same reports.
#
# Usage: bench/cli-vs-dialog.sh BUILD_DIR NETWORK_FILE [REPEATS] [PROGRAM...]
#   BUILD_DIR     a build folder holding flowanalysis/flowanalysis and flowanalysis2/flowanalysis2
#   NETWORK_FILE  the network file to analyse (copied into a scratch folder as net.dat)
#   REPEATS       runs of each kind (default 11)
#   PROGRAM       flowanalysis and/or flowanalysis2 (default both)
# With CLI_VS_DIALOG_TIMES=FOLDER, the times of every run are left there, one file per program and
# kind: "wall cpu" a line, in the order of the repetitions.
#
# Each repetition runs the dialog and the command line one after the other, the order swapped
# every other repetition. Dialog run: the answers on standard input, as a user types them
#   flowanalysis:  net.dat y report1.txt y
#   flowanalysis2: net.dat y report1.txt y report2.txt y ...  (one report per network)
# Command-line run: PROGRAM net.dat -o 'report{n}.txt' --force -q (flowanalysis, which writes one
# report per file, gets -o report1.txt). The reports of both runs are compared byte for byte after
# every repetition. Printed: the median wall time and the median processor time (user + system) of
# each kind, in seconds, command line / dialog for each, and the median over the repetitions of
# that ratio for the two processor times measured back to back ("paired"), which a machine whose
# speed drifts during the benchmark disturbs less.
set -euo pipefail
shopt -s nullglob

if [ $# -lt 2 ]; then
    sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 2
fi
build=$(cd "$1" && pwd)
network=$2
repeats=${3:-11}
shift $(( $# < 3 ? $# : 3 ))
programs=("$@")
[ ${#programs[@]} -gt 0 ] || programs=(flowanalysis flowanalysis2)

scratch=$(mktemp -d /tmp/cli-vs-dialog.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
TIMEFORMAT='%3R %3U %3S'

median() {  # the median of the numbers on standard input
    sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2];
                                        else printf "%.3f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# times RESULT_FILE COMMAND...: runs the command in the current folder, appends "wall cpu".
times_of() {
    local out=$1 t
    shift
    t=$( { time "$@" > /dev/null 2> /dev/null; } 2>&1 ) || true
    awk '{ printf "%s %.3f\n", $1, $2 + $3 }' <<< "$t" >> "$out"
}

printf '%-14s %-22s %9s %9s %7s %9s %9s %7s %7s\n' program network "dialog s" "cli s" ratio \
    "dlg cpu" "cli cpu" ratio paired
status=0
for program in "${programs[@]}"; do
    exe=$build/$program/$program
    [ -x "$exe" ] || { echo "no $exe" >&2; exit 2; }
    dir=$scratch/$program
    mkdir -p "$dir/dialog" "$dir/cli"
    cp "$network" "$dir/dialog/net.dat"
    cp "$network" "$dir/cli/net.dat"

    # The networks in the file, from a first command-line run's summary: flowanalysis2 asks for a
    # report for each.
    networks=$( (cd "$dir/cli" && "$exe" net.dat --no-report -q --summary - 2> /dev/null || true) | wc -l)
    networks=$((networks - 1))
    answers="net.dat\ny\n"
    if [ "$program" = flowanalysis2 ]; then
        for ((n = 1; n <= (networks > 0 ? networks : 1); n++)); do answers+="report$n.txt\ny\n"; done
        report='report{n}.txt'
    else
        answers+="report1.txt\ny\n"
        report=report1.txt
    fi
    printf "$answers" > "$dir/answers"

    : > "$dir/dialog.times"
    : > "$dir/cli.times"
    dialog() {
        rm -f "$dir"/dialog/report*.txt
        (cd "$dir/dialog" && times_of "$dir/dialog.times" "$exe" < "$dir/answers")
    }
    cli() {
        (cd "$dir/cli" && times_of "$dir/cli.times" "$exe" net.dat -o "$report" --force -q)
    }
    for ((r = 1; r <= repeats; r++)); do
        if ((r % 2)); then dialog; cli; else cli; dialog; fi
        for f in "$dir"/dialog/report*.txt; do
            if ! cmp -s "$f" "$dir/cli/$(basename "$f")"; then
                echo "$program: $(basename "$f") differs between the dialog and the command line" >&2
                status=1
            fi
        done
        dialogReports=("$dir"/dialog/report*.txt)
        cliReports=("$dir"/cli/report*.txt)
        if [ ${#dialogReports[@]} = 0 ] || [ ${#dialogReports[@]} != ${#cliReports[@]} ]; then
            echo "$program: ${#dialogReports[@]} reports from the dialog," \
                "${#cliReports[@]} from the command line" >&2
            status=1
        fi
    done

    if [ -n "${CLI_VS_DIALOG_TIMES:-}" ]; then
        mkdir -p "$CLI_VS_DIALOG_TIMES"
        cp "$dir/dialog.times" "$CLI_VS_DIALOG_TIMES/$program.dialog.times"
        cp "$dir/cli.times" "$CLI_VS_DIALOG_TIMES/$program.cli.times"
    fi
    dw=$(cut -d' ' -f1 "$dir/dialog.times" | median)
    dc=$(cut -d' ' -f2 "$dir/dialog.times" | median)
    cw=$(cut -d' ' -f1 "$dir/cli.times" | median)
    cc=$(cut -d' ' -f2 "$dir/cli.times" | median)
    ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.3f", a / b; else print "-" }'; }
    paired=$(paste -d' ' "$dir/dialog.times" "$dir/cli.times" |
        awk '{ if ($2 > 0) printf "%.4f\n", $4 / $2 }' | median)
    printf '%-14s %-22s %9s %9s %7s %9s %9s %7s %7.3f\n' "$program" "$(basename "$network")" \
        "$dw" "$cw" "$(ratio "$cw" "$dw")" "$dc" "$cc" "$(ratio "$cc" "$dc")" "$paired"
done
echo "repetitions: $repeats each; ratio: command line / dialog (medians);" \
    "reports $( ((status)) && echo DIFFER || echo identical)"
exit $status
