#!/bin/sh
# Runs flowanalysis on the bundled salt-marsh network in a scratch folder and shows the report.
# Usage: run-example.sh <flowanalysis program> <examples folder> <scratch folder>
set -e
program=$1 examples=$2 scratch=$3
mkdir -p "$scratch"
cp "$examples/marsh.dat" "$scratch/marsh.dat"
cd "$scratch"
"$program" < "$examples/marsh.answers"
echo
echo "----- $scratch/marsh-report.txt -----"
cat marsh-report.txt
