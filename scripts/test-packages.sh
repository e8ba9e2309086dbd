#!/usr/bin/env bash
# Tests the R package and the Python module against the programs installed on PREFIX
# (cmake --install build --prefix PREFIX): R CMD check with the package's testthat tests, the
# pytest tests with pandas and without, and the README's lines "In R" and "In Python", run as
# written from the top folder of the checkout.
#   scripts/test-packages.sh PREFIX
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
prefix="$(cd "${1:?usage: scripts/test-packages.sh PREFIX}" && pwd)"
export FLOWNET_BIN="$prefix/bin"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The fenced block of `language` after the README's heading `heading`.
readme_block() { # HEADING LANGUAGE
  awk -v heading="$1" -v fence="\`\`\`$2" '
    $0 == heading { inside = 1; next }
    inside && /^## / { exit }
    inside && $0 == fence { block = 1; next }
    block && $0 == "```" { exit }
    block { print }' "$root/README.md"
}

echo "--- R CMD check"
(cd "$work" && R CMD build "$root/r/flownet" > build.log 2>&1 &&
  _R_CHECK_FORCE_SUGGESTS_=false R CMD check --no-manual flownet_*.tar.gz > check.log 2>&1) || {
  cat "$work"/*.log "$work"/flownet.Rcheck/00check.log 2>/dev/null; exit 1; }
status="$(grep '^Status:' "$work/check.log")"
echo "$status"
case "$status" in *ERROR* | *WARNING*) cat "$work/check.log"; exit 1 ;; esac
grep -q "Running .testthat.R" "$work/check.log"

echo "--- the README's lines in R"
mkdir "$work/rlib"
export R_LIBS="$work/rlib"
(cd "$root" && readme_block "### In R" sh > "$work/install-r.sh" && sh "$work/install-r.sh" > /dev/null)
readme_block "### In R" r > "$work/readme.R"
[ "$(wc -l < "$work/readme.R")" -ge 3 ]
(cd "$root" && Rscript "$work/readme.R")

echo "--- Python"
/usr/bin/python3 -m venv --system-site-packages "$work/venv"
export PATH="$work/venv/bin:$PATH"
(cd "$root" && readme_block "### In Python" sh > "$work/install-py.sh" && sh "$work/install-py.sh" > /dev/null)
(cd "$root/python/tests" && python -m pytest -q -p no:cacheprovider)
(cd "$root/python/tests" && FLOWNET_TEST_WITHOUT_PANDAS=1 python -m pytest -q -p no:cacheprovider)

echo "--- the README's lines in Python"
readme_block "### In Python" python > "$work/readme.py"
[ "$(wc -l < "$work/readme.py")" -ge 3 ]
(cd "$root" && python "$work/readme.py")
echo "--- the R package and the Python module pass"
