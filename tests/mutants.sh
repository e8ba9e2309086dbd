#!/usr/bin/env bash
# Mutation check of the test suite: plants single-point faults into a copy of the source one at a
# time, rebuilds incrementally, runs the whole suite, and tells which faults the suite catches.
#
# Usage: tests/mutants.sh [--in-place] [SOURCE_DIR] [BUILD_DIR] [MUTANT_ID...]
#        tests/mutants.sh --list [SOURCE_DIR]    the mutants, and whether each anchor is found once
#                                                (status 1 when one is not)
#
#   SOURCE_DIR  the source tree (default: the repository holding this script)
#   BUILD_DIR   the folder of the run (default: SOURCE_DIR/build-mut). The source is copied into
#               BUILD_DIR/source, files changed since the last run only, so that the build in
#               BUILD_DIR/build stays incremental; the faults are planted in the copy, and the
#               source tree itself is never touched. Nothing else should use BUILD_DIR meanwhile.
#   --in-place  plant the faults in SOURCE_DIR itself, building in BUILD_DIR (every file is put
#               back after its mutant, and after an interruption)
#   MUTANT_ID   run only these mutants (default: all)
#
# A fault is CAUGHT when the mutated tree builds and ctest reports a failure (a test that runs
# past the timeout counts as a failure: a fault can make a cycle search loop forever); MISSED when
# the whole suite passes; NO-BUILD when the mutated tree does not compile (counted apart; the
# mutants are chosen to compile). A mutant whose anchor text is not found exactly once in its
# file (the code may have moved) is reported and skipped.
#
# Every file is restored after its mutant, and also when the run is interrupted (the original is
# kept under the run's mutants/pending until it is back; a run killed outright is repaired by the
# next run). Build and test logs of each mutant are left in the run's mutants/logs.
#
# Baselines: the whole table is caught at every commit that changes it (see the count printed by
# --list); the last full run is quoted in README.md.
#
# Each mutant is data below: an id, the file, a one-line description, the anchor (an exact text
# that must occur exactly once in the file) and its replacement.

set -u
set -o pipefail

JOBS=2                                  # the machine is shared: at most two jobs
TEST_TIMEOUT=${MUTANT_TEST_TIMEOUT:-60} # seconds per test
FILE_LIMIT_KB=1048576                   # a runaway report stops a test at 1 GiB

# ---------------------------------------------------------------------------------------------
# The mutants.
#
#   @@ ID FILE
#   ## description
#   --anchor--
#   the exact text, one or more lines
#   --becomes--
#   its replacement
#   --end--

read -r -d '' MUTANTS <<'MUTANTS_END'
@@ LAY-1 common/text/fields.cpp
## overflow asterisks: a value that fills its field exactly is written as asterisks
--anchor--
    if (s.size() > width) return appendStars(out, w);
--becomes--
    if (s.size() >= width) return appendStars(out, w);
--end--

@@ LAY-2 common/text/fields.cpp
## E field: the letter E is dropped already at exponent 99 (three-digit form one too early)
--anchor--
    if (mag <= 99) s[n++] = 'E';
--becomes--
    if (mag < 99) s[n++] = 'E';
--end--

@@ LAY-3 common/text/fields.cpp
## E field rounding: the significant digits are cut off instead of rounded to nearest
--anchor--
    D = static_cast<long long>(whole) + (part > 0.5 ? 1 : 0);
--becomes--
    D = static_cast<long long>(whole);
--end--

@@ LAY-4 common/text/fields.cpp
## E field rounding: a carry (.9996 to .1000) moves the exponent down instead of up
--anchor--
        D = kWholeTen[static_cast<std::size_t>(d - 1)];
        --k;
--becomes--
        D = kWholeTen[static_cast<std::size_t>(d - 1)];
        ++k;
--end--

@@ LAY-5 common/text/fields.cpp
## F field width: the zero before the point is kept for magnitudes below 1
--anchor--
        ++digits;  // no zero before the point
--becomes--
        // no zero before the point
--end--

@@ LAY-6 common/text/fields.cpp
## F field: a zero is written with a minus sign (sign test <= instead of <)
--anchor--
    if (x < 0) *--digits = '-';
--becomes--
    if (x <= 0) *--digits = '-';
--end--

@@ LAY-7 common/text/fields.hpp
## I field: a zero is written with a minus sign (sign test <= instead of <)
--anchor--
    if (fits && value < 0) {
--becomes--
    if (fits && value <= 0) {
--end--

@@ LAY-8 common/text/layout.cpp
## I2 fields of the cycle lines: 100 takes the two-digit short path (<= 100) for asterisks
--anchor--
v >= 0 && v < 100 && n.w == 2) {
--becomes--
v >= 0 && v <= 100 && n.w == 2) {
--end--

@@ REC-1 common/text/records.cpp
## record reader: a real with the exponent after its sign alone (1.5-03) is no longer accepted
--anchor--
        } else if (c != '+' && c != '-') {
            return false;
        }
--becomes--
        } else {
            return false;
        }
--end--

@@ REC-2 common/text/records.cpp
## record reader: the exponent letter D (1.5D-03) is no longer accepted
--anchor--
        if (c == 'E' || c == 'e' || c == 'D' || c == 'd') {
--becomes--
        if (c == 'E' || c == 'e') {
--end--

@@ REC-3 common/text/records.cpp
## record reader: a real without digits before the point (.5) is refused
--anchor--
    if (digitsBefore + digitsAfter == 0) return false;
--becomes--
    if (digitsBefore == 0) return false;
--end--

@@ INV-1 common/matrix/matrix.cpp
## INV: the last row is left out of the elimination (loop bound < n instead of <= n)
--anchor--
            for (int i = k + 1; i <= n; ++i) B(i, j) = B(i, j) - pivotRow * B(i, 1);
--becomes--
            for (int i = k + 1; i < n; ++i) B(i, j) = B(i, j) - pivotRow * B(i, 1);
--end--

@@ INV-2 common/matrix/matrix.cpp
## INV: the work vector is eliminated with the wrong sign
--anchor--
            if (i != k) W(i) = W(i) - B(i, 1) * W(k);
--becomes--
            if (i != k) W(i) = W(i) + B(i, 1) * W(k);
--end--

@@ SS-1 analysis/stages/steady.cpp
## steady-state check: an imbalance equal to the tolerance counts as balanced (<= instead of <)
--anchor--
        if (std::fabs(imbalance(i)) < tolerance) imbalance(i) = 0.0f;
--becomes--
        if (std::fabs(imbalance(i)) <= tolerance) imbalance(i) = 0.0f;
--end--

@@ SS-2 flowentry/balancecheck.cpp
## flowentry steady-state pass: a difference equal to the tolerance is an imbalance (< for <=)
--anchor--
        if (!(std::fabs(D(i)) <= tol)) imbalance = imbalance + std::fabs(D(i));
--becomes--
        if (!(std::fabs(D(i)) < tol)) imbalance = imbalance + std::fabs(D(i));
--end--

@@ STR-1 analysis/stages/structure.cpp
## total contribution coefficients scaled by X(i)/X(j) instead of X(j)/X(i)
--anchor--
                C(i, j) = A(i, j) / A(j, j) * X(j) / X(i);
--becomes--
                C(i, j) = A(i, j) / A(j, j) * X(i) / X(j);
--end--

@@ STR-2 analysis/stages/structure.cpp
## input analysis: the exchanges generated use the throughput of the receiver, not the donor
--anchor--
        for (int i = 1; i <= n; ++i) C(i, j) = a.F(i, j) * a.y(i);
--becomes--
        for (int i = 1; i <= n; ++i) C(i, j) = a.F(i, j) * a.y(j);
--end--

@@ STR-3 analysis/stages/structure.cpp
## input analyses: compartments without an input are analysed too (>= 0 instead of > 0)
--anchor--
        analysed = a.IN(k) > 0.0f;
--becomes--
        analysed = a.IN(k) >= 0.0f;
--end--

@@ LIN-1 analysis/stages/lindeman.cpp
## Lindeman: non-living compartments go to the first non-living pool row instead of the last
--anchor--
    for (int i = nl + 1; i <= n; ++i) L(n, i) = 1.0f;
--becomes--
    for (int i = nl + 1; i <= n; ++i) L(nl + 1, i) = 1.0f;
--end--

@@ LIN-2 analysis/stages/lindeman.cpp
## Lindeman spine: the returns of level 1 to the detrital pool are added to level 1 as well
--anchor--
    for (int k = 2; k <= nl; ++k) y(1) = y(1) + r.returns(k);
--becomes--
    for (int k = 1; k <= nl; ++k) y(1) = y(1) + r.returns(k);
--end--

@@ LIN-3 analysis/stages/lindeman.cpp
## trophic efficiencies: an empty level no longer stops the ratios (< 0 instead of <= 0)
--anchor--
        if (y(i) <= 0.0f) break;
--becomes--
        if (y(i) < 0.0f) break;
--end--

@@ LIN-4 analysis/stages/lindeman.cpp
## Lindeman matrix: what is eaten of the last non-living compartment is not put at level 2
--anchor--
                for (int d = nl + 1; d <= n; ++d) sum = sum + r.P(d, i);
--becomes--
                for (int d = nl + 1; d < n; ++d) sum = sum + r.P(d, i);
--end--

@@ LIN-5 analysis/stages/lindeman.cpp
## grazing chain summed down a column of the level flows instead of along a row
--anchor--
        for (int j = 1; j <= nl; ++j) y(k + 1) = y(k + 1) + r.D(k, j);
--becomes--
        for (int j = 1; j <= nl; ++j) y(k + 1) = y(k + 1) + r.D(j, k);
--end--

@@ MIG-1 analysis/stages/migratory.cpp
## migratory inputs: only living compartments count as feeding the receiver (bound nl, not n)
--anchor--
        for (int m = 1; m <= n && !fed; ++m) fed = T(m, k) > 0.0f;
--becomes--
        for (int m = 1; m <= nl && !fed; ++m) fed = T(m, k) > 0.0f;
--end--

@@ MIG-2 analysis/stages/lindeman.cpp
## migratory inputs: still counted as imports at level 1 of the Lindeman matrix
--anchor--
            imported = a.IN(i) - migratory->MIG(i);
--becomes--
            imported = a.IN(i);
--end--

@@ INF-1 analysis/stages/ascend.cpp
## ascendency term: the outflow and inflow of a flow added instead of multiplied
--anchor--
    const float a = t * std::log(t * tst / (rs * cd));
--becomes--
    const float a = t * std::log(t * tst / (rs + cd));
--end--

@@ INF-2 analysis/stages/ascend.cpp
## information totals: the dissipation (respiration) row is left out
--anchor--
    info.total = totalOf(info.inputs, info.internal, info.exports, info.respirations);
--becomes--
    info.total = totalOf(info.inputs, info.internal, info.exports, IndexTerms{});
--end--

@@ INF-3 analysis/stages/ascend.cpp
## throughput: the smaller of outflow and inflow taken instead of the larger
--anchor--
    for (int i = 1; i <= n; ++i) X(i) = R(i) > C(i) ? R(i) : C(i);
--becomes--
    for (int i = 1; i <= n; ++i) X(i) = R(i) < C(i) ? R(i) : C(i);
--end--

@@ INF-4 analysis/stages/ascend.cpp
## internal ascendency given as a share of the development capacity, not the internal one
--anchor--
    s.internalAscendency = info.internal.ascendency / internal;
--becomes--
    s.internalAscendency = info.internal.ascendency / capacity;
--end--

@@ CON-1 analysis/stages/ascend.cpp
## overall connectance: the respiration term is dropped from the overall uncertainty
--anchor--
            addFlowTerms(info.respirations, t, R(i), C(re), TST);
            overall = overall + -2.0f * t * std::log(t / R(i));
--becomes--
            addFlowTerms(info.respirations, t, R(i), C(re), TST);
--end--

@@ CON-2 analysis/stages/ascend.cpp
## block uncertainty: the inflow of the receiver taken from the row sums (R(j) for C(j))
--anchor--
std::log(std::pow(t, 2.0f) / (R(i) * C(j)));
--becomes--
std::log(std::pow(t, 2.0f) / (R(i) * R(j)));
--end--

@@ CON-3 analysis/stages/ascend.cpp
## intercompartmental connectance taken from the food-web uncertainty
--anchor--
    s.intercompartmental = std::pow(2.0f, info.intercompartmentalUncertainty / 2.0f);
--becomes--
    s.intercompartmental = std::pow(2.0f, info.foodWebUncertainty / 2.0f);
--end--

@@ CYC-1 analysis/cycles/cyclestore.cpp
## CYCLES: the share of a cycle computed as P/S*BW instead of (P*BW)/S
--anchor--
    return P * BW / S;
--becomes--
    return P / S * BW;
--end--

@@ CYC-2 analysis/cycles/cyclestore.cpp
## CYCLES removal: a weak-arc tie broken the other way (the last smallest flow, not the first)
--anchor--
            if (f < least) {
--becomes--
            if (f <= least) {
--end--

@@ CYC-3 analysis/cycles/cyclestore.cpp
## CYCLES removal: the closing arc of a cycle is never taken as its weak arc (off by one)
--anchor--
        for (int k = 1; k < rec_[r].L; ++k) {
--becomes--
        for (int k = 1; k < rec_[r].L - 1; ++k) {
--end--

@@ CYC-4 analysis/cycles/cyclestore.cpp
## CYCLES nexus choice: on equal weak-arc flows the last record wins instead of the first
--anchor--
        if (first == 0 || keyFlow_[r] < keyFlow_[first]) first = r;
--becomes--
        if (first == 0 || keyFlow_[r] <= keyFlow_[first]) first = r;
--end--

@@ CYC-5 analysis/cycles/cycles.cpp
## CYCLES store overflow: the threshold falls by a fifth of the band instead of four fifths
--anchor--
    band_.THR = band_.LOW + 0.2f * (band_.THR - band_.LOW);
--becomes--
    band_.THR = band_.LOW + 0.8f * (band_.THR - band_.LOW);
--end--

@@ CYC-6 analysis/cycles/cyclestore.cpp
## CYCLES store: the room test counts one record too many (r for r - 1)
--anchor--
    if (r > kMaxRecords || (r - 1) * W_ + c.L / 4 + 1 > kStoreWords) return false;
--becomes--
    if (r > kMaxRecords || r * W_ + c.L / 4 + 1 > kStoreWords) return false;
--end--

@@ CNT-1 analysis/cycles/roundcount.cpp
## CYCCNT: a tie for the smallest flow on a cycle goes to the last arc (<= for <)
--anchor--
            if (tied_.empty() || f < WMIN) {
--becomes--
            if (tied_.empty() || f <= WMIN) {
--end--

@@ CNT-2 analysis/cycles/roundcount.cpp
## CYCCNT counting pass: on equal weak-arc flows the last cycle found keeps the round
--anchor--
                        if (count == 0 || c.weakFlow < v.WMIN) {
--becomes--
                        if (count == 0 || c.weakFlow <= v.WMIN) {
--end--

@@ CNT-3 analysis/cycles/cyccnt.cpp
## CYCCNT: a nexus lists its first 49 cycles instead of 50 (off by one)
--anchor--
    if (sums.NREM <= kListedPerNexus) {
--becomes--
    if (sums.NREM < kListedPerNexus) {
--end--

@@ CNT-4 analysis/cycles/cyccnt.cpp
## CYCCNT nexus line: the weak-arc flow from the throughput of the head, not the tail
--anchor--
    writeLayout(report_, kNexusLine, {round.counted, A, B, F_(A, B) * X_(A)});
--becomes--
    writeLayout(report_, kNexusLine, {round.counted, A, B, F_(A, B) * X_(B)});
--end--

@@ SRCH-1 analysis/cycles/search/searchwork.cpp
## cycle listing (reference search): a weak-arc tie goes to the first smallest flow, not the last
--anchor--
        if (flow <= c.weakFlow) {
--becomes--
        if (flow < c.weakFlow) {
--end--

@@ SRCH-2 analysis/cycles/search/prunedsearch.hpp
## pruned searches (every cycle, and through an arc): a tie with the closing arc goes to the earlier arc (< for <=)
--anchor--
        if (closing <= f.minFlow) {
--becomes--
        if (closing < f.minFlow) {
--end--

@@ SRCH-3 analysis/cycles/cyclereport.cpp
## Finn cycling index: the flow of the cycles through every compartment is left out (< n)
--anchor--
    for (int L = 1; L <= n; ++L) {
        result.cycled(L) = CYC(L);
        SUM = SUM + CYC(L);
--becomes--
    for (int L = 1; L < n; ++L) {
        result.cycled(L) = CYC(L);
        SUM = SUM + CYC(L);
--end--

@@ SRCH-4 analysis/cycles/cycleorder.cpp
## cycle order: ties of the closing counts go to the higher compartment number (>= for >)
--anchor--
            if (!picked[i] && (best == 0 || order.DEG[i] > order.DEG[best])) best = i;
--becomes--
            if (!picked[i] && (best == 0 || order.DEG[i] >= order.DEG[best])) best = i;
--end--

@@ SRCH-5 analysis/cycles/search/cyclesearch.hpp
## cycles through an arc: the start at the lower end of the arc is left out (off by one)
--anchor--
    for (int S = from; S <= last; ++S) {
--becomes--
    for (int S = from; S < last; ++S) {
--end--

@@ BAL-1 flowentry/balance.cpp
## forward balance: the respiration is not turned into a fraction of the total output
--anchor--
            for (int j = 1; j <= n + 2; ++j) T(i, j) = T(i, j) / tout;
--becomes--
            for (int j = 1; j <= n + 1; ++j) T(i, j) = T(i, j) / tout;
--end--

@@ BAL-2 flowentry/balance.cpp
## backward balance: the inverse applied transposed (A(j, i) for A(i, j))
--anchor--
        for (int j = 1; j <= n; ++j) sum = sum + (T(j, n + 2) + T(j, n + 1)) * A(i, j);
--becomes--
        for (int j = 1; j <= n; ++j) sum = sum + (T(j, n + 2) + T(j, n + 1)) * A(j, i);
--end--

@@ BAL-3 flowentry/balance.cpp
## totals: the respiration is left out of each compartment's total output
--anchor--
        for (int j = 1; j <= n + 2; ++j) T(i, n + 3) = T(i, n + 3) + T(i, j);
--becomes--
        for (int j = 1; j <= n + 1; ++j) T(i, n + 3) = T(i, n + 3) + T(i, j);
--end--

@@ DLG-1 analysis/run/filedialog.cpp
## report file dialog: the prompt for a new report file shows (y/n) instead of (y,n)
--anchor--
' will be the output file.',' OK? (y,n)',$)",
--becomes--
' will be the output file.',' OK? (y/n)',$)",
--end--

@@ DLG-2 analysis/run/filedialog.cpp
## "(E)xit or try another (N)ame?": the answer test inverted
--anchor--
    if (!isNo(requireChar(con))) stopOrderly(terminated);
--becomes--
    if (isNo(requireChar(con))) stopOrderly(terminated);
--end--

@@ DLG-3 analysis/run/filedialog.cpp
## new report file: any answer but y taken as no (only n should refuse it)
--anchor--
            if (isNo(requireChar(con))) {
--becomes--
            if (!isYes(requireChar(con))) {
--end--

@@ DLG-4 flowentry/entrydialog.cpp
## flowentry: the last compartment number is refused at the prompts (< n for <= n)
--anchor--
    if ((i < 0 && negativeEnds) || (i >= 1 && i <= n)) return i;
--becomes--
    if ((i < 0 && negativeEnds) || (i >= 1 && i < n)) return i;
--end--

@@ DLG-5 flowentry/entrydialog.cpp
## flowentry: the changes prompt loses its blank before the question mark
--anchor--
    writeLayout(con.out, "(/,' CHANGES (Y/N) ? ',$)");
--becomes--
    writeLayout(con.out, "(/,' CHANGES (Y/N)? ',$)");
--end--

@@ DLG-6 flowentry/keyin.cpp
## flowentry keyboard entry: a network whose compartments are all living is refused (>= n)
--anchor--
        if (nl > n) {
--becomes--
        if (nl >= n) {
--end--

@@ DLG-7 flowentry/keyin.cpp
## flowentry keyboard entry: a refused stock asks that stock again instead of starting over
--anchor--
            i = 0;  // begin again
--becomes--
            i = i - 1;  // begin again
--end--

@@ DLG-8 flowentry/readin.cpp
## flowentry file reading: the answer to "make changes?" inverted
--anchor--
    const bool changes = isYes(requireChar(con));
--becomes--
    const bool changes = !isYes(requireChar(con));
--end--

@@ DLG-9 flowentry/readin.cpp
## flowentry file reading: a vector list is cut off one record after its bound (<= 10 N)
--anchor--
    for (int r = 0; r < 10 * n; ++r) {
--becomes--
    for (int r = 0; r <= 10 * n; ++r) {
--end--

@@ DLG-10 flowentry/flowentry.cpp
## flowentry: the answer 2 (entry by file) leads to keyboard entry (<= 2 for < 2)
--anchor--
    if (method < 2) {
--becomes--
    if (method <= 2) {
--end--
@@ CLI-1 common/commandline/outputs.cpp
## command line: an existing output is not refused up front without --force (only at the end)
--anchor--
            return force_ ? "" : name + ": the file exists (use --force to replace it)";
--becomes--
            return "";
--end--

@@ CLI-2 common/commandline/outputs.cpp
## command line: the network file, named another way, is accepted as an output
--anchor--
        if (sameFile(id, networkId)) {
--becomes--
        if (name == networkId.path) {
--end--

@@ CLI-3 analysis/run/command.cpp
## command line: a report that ends at an error line leaves the status at 0
--anchor--
            record(kStatusLook, input.where() + ": " + e.reportLine, path, ordinal_);
--becomes--
            record(kStatusOk, input.where() + ": " + e.reportLine, path, ordinal_);
--end--

@@ OUT-1 common/commandline/outputfile.cpp
## outputs: without --force the target is taken by a plain rename, replacing a file made meanwhile
--anchor--
    } else if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) != 0) {
--becomes--
    } else if (::rename(from, to) != 0) {
--end--

@@ OUT-2 common/commandline/fileidentity.cpp
## outputs: files are told apart by their resolved names only, so a hard link is another file
--anchor--
    if (a.hasInode && b.hasInode) return a.device == b.device && a.inode == b.inode;
--becomes--
    if (a.hasInode && b.hasInode && a.path != b.path) return false;
--end--

@@ OUT-3 analysis/run/command.cpp
## outputs: the files of a run take their names even after one of its outputs failed
--anchor--
    if (failed) {
        outputs_->discard();
--becomes--
    if (false) {
        outputs_->discard();
--end--

@@ OUT-4 common/commandline/outputfile.cpp
## outputs: a discarded output leaves its temporary file behind
--anchor--
        ::unlink(temporary_.c_str());
        forgetTemporary(temporary_);
--becomes--
        forgetTemporary(temporary_);
--end--

@@ OUT-5 common/text/textencoding.cpp
## text: a byte that is not UTF-8 is taken as Latin-1, not Windows-1252 (0x80 is no euro sign)
--anchor--
            c = b < 0xA0 ? kWindows1252High[b - 0x80] : b;
--becomes--
            c = b;
--end--

@@ OUT-6 analysis/results/resultscsv.cpp
## summary: a field holding a carriage return is not quoted
--anchor--
    if (text.find_first_of(",\"\n\r") == std::string::npos) return text;
--becomes--
    if (text.find_first_of(",\"\n") == std::string::npos) return text;
--end--

@@ OUT-7 flowentry/readin.cpp
## flowentry on the command line skips what it cannot read, as the dialog does
--anchor--
    const bool whole = !dialog;
--becomes--
    const bool whole = false;
--end--

@@ OUT-8 analysis/run/command.cpp
## numbered pictures count the networks written, not the networks of the call
--anchor--
            dot_ = &outputs_->open("--dot", numberedName(dotName_, networkNumber_));
--becomes--
            dot_ = &outputs_->open("--dot", numberedName(dotName_, networksWritten_));
--end--

@@ OUT-9 common/commandline/fileidentity.cpp
## outputs: /dev/stdout is a file of its own, not standard output
--anchor--
        if (base == "stdout") return 1;
--becomes--
        if (base == "stdout") return -1;
--end--

@@ CLI-4 analysis/results/resultscsv.cpp
## summary: a quote inside a quoted field is not doubled
--anchor--
        if (c == '"') quoted += '"';
--becomes--
        if (c == '"') quoted += ' ';
--end--

@@ CLI-5 analysis/results/jsonparts.hpp
## JSON: a float is written as the double it widens to, not in its shortest form
--anchor--
    return shortestValue(x);
--becomes--
    return static_cast<double>(x);
--end--

@@ NET-1 common/network/network.cpp
## network reader: a record with compartment 0 is an entry, not the end of its list
--anchor--
    return index < 1 ? RecordRead::Terminator : RecordRead::Entry;
--becomes--
    return index < 0 ? RecordRead::Terminator : RecordRead::Entry;
--end--

@@ NET-2 common/network/network.cpp
## network reader: the flow list ends at a record whose receiver is 0, not its source
--anchor--
    return from < 1 ? RecordRead::Terminator : RecordRead::Entry;
--becomes--
    return to < 1 ? RecordRead::Terminator : RecordRead::Entry;
--end--

@@ NET-3 common/network/network.cpp
## network writer: entries of zero are written to the vector lists
--anchor--
            if (value(j) > 0.0f) writeLayout(out, kEntryRecord, {j, value(j)});
--becomes--
            if (value(j) >= 0.0f) writeLayout(out, kEntryRecord, {j, value(j)});
--end--

@@ NET-4 analysis/run/netread.cpp
## analysis reader: a flow into compartment 0 is taken, not refused
--anchor--
        if (to < 1 || to > n) stopWithReportError(report, kRangeError, {to, n});
--becomes--
        if (to > n) stopWithReportError(report, kRangeError, {to, n});
--end--

@@ DOT-1 analysis/results/resultsdot.cpp
## picture: a quote in a name or title is not escaped
--anchor--
        if (c == '"' || c == '\\') e += '\\';
--becomes--
        if (c == '\\') e += '\\';
--end--

@@ DOT-2 analysis/results/picture.cpp
## picture: flows of 1 and less are not drawn
--anchor--
            if (f > 0.0 && f >= least && drawn[static_cast<std::size_t>(j)])
--becomes--
            if (f > 1.0 && f >= least && drawn[static_cast<std::size_t>(j)])
--end--

@@ DOT-3 analysis/results/picture.cpp
## picture: the non-living compartments are not in a row of their own
--anchor--
                           living ? static_cast<int>(level) : 0, 0.0});
--becomes--
                           living ? static_cast<int>(level) : 1, 0.0});
--end--

@@ IO-1 common/io/textio.cpp
## console: an empty answer line to a one-character question reads as yes
--anchor--
    answer = line.empty() ? ' ' : line[0];
--becomes--
    answer = line.empty() ? 'y' : line[0];
--end--

@@ IO-2 common/io/textio.cpp
## console: a blank answer line ends a free-form number question instead of being skipped
--anchor--
        if (b == std::string::npos) continue;  // blank line: wait for a value
--becomes--
        if (b == std::string::npos) return false;  // blank line: wait for a value
--end--

@@ IO-3 common/io/textio.cpp
## line reader: CR LF makes two line ends
--anchor--
                if (buf->sgetc() == '\n') buf->sbumpc();  // CR LF is one line end
--becomes--
                // CR LF is one line end
--end--

@@ IDX-1 analysis/stages/companion.cpp
## Finn cycling index: the cycled share of a throughflow taken as (n_ii - 1), not (n_ii - 1) / n_ii
--anchor--
            c.TSTc += (nii - 1.0) / nii * c.throughflow[static_cast<std::size_t>(i - 1)];
--becomes--
            c.TSTc += (nii - 1.0) * c.throughflow[static_cast<std::size_t>(i - 1)];
--end--

@@ IDX-2 analysis/stages/companion.cpp
## robustness with a logarithm to base 2 instead of the natural one
--anchor--
    c.robustness = -c.AC * std::log(c.AC);
--becomes--
    c.robustness = -c.AC * std::log2(c.AC);
--end--

@@ IDX-3 analysis/stages/companion.cpp
## environ analysis: the two orientations exchanged
--anchor--
            e.direct(i, j) = ratio(t(i, j), T[static_cast<std::size_t>((output == nullptr ? i : j) - 1)]);
--becomes--
            e.direct(i, j) = ratio(t(i, j), T[static_cast<std::size_t>((output == nullptr ? j : i) - 1)]);
--end--

@@ IDX-6 analysis/stages/companion.cpp
## environ analysis: the amplification count of the previous network kept when the storage is reused
--anchor--
    e.amplification = 0;
    if (e.singular) {
--becomes--
    if (e.singular) {
--end--

@@ IDX-7 analysis/stages/inversion.cpp
## double inversion: the columns of a zero entry of the pivot row skipped even past a factor that is not finite
--anchor--
        eliminate(A.a.data(), factors.data(), k - 1, n, zeros == 0.0);
--becomes--
        eliminate(A.a.data(), factors.data(), k - 1, n, true);
--end--

@@ IDX-4 analysis/stages/inversion.cpp
## double inversion: the pivot of least magnitude is chosen
--anchor--
            if (std::fabs(A(i, k)) > std::fabs(A(p, k))) p = i;
--becomes--
            if (std::fabs(A(i, k)) < std::fabs(A(p, k))) p = i;
--end--

@@ IDX-5 analysis/stages/companion.cpp
## network mutualism inverted: negative over positive utilities
--anchor--
    c.mutualism = ratio(positive, negative);
--becomes--
    c.mutualism = ratio(negative, positive);
--end--
@@ THR-1 analysis/cycles/search/branches.hpp
## threads: the cycles that close above the cut are not counted
--anchor--
                ++count;
                continue;
--becomes--
                continue;
--end--

@@ THR-3 analysis/cycles/cyccnt.cpp
## threaded removal: an arc that passed with the cycle before is tested again
--anchor--
            int k = std::max(1, std::min(shared, passed));
--becomes--
            int k = 1;
--end--

@@ THR-4 analysis/cycles/cyccnt.cpp
## threaded removal: the arcs are never tested, whatever the bound
--anchor--
            testing = !(static_cast<double>(fMin) * (1.0 - m * u) > takenOff);
--becomes--
            testing = false;
--end--

@@ THR-5 analysis/cycles/search/arcrecords.cpp
## threaded removal: the blocks of a piece handed over in the wrong order
--anchor--
            auto block = std::move(pieces_[head_].ready.front());
            pieces_[head_].ready.pop_front();
--becomes--
            auto block = std::move(pieces_[head_].ready.back());
            pieces_[head_].ready.pop_back();
--end--

@@ THR-6 analysis/cycles/search/prunedsearch.hpp
## nexus removal on one thread: an arc lowered to 0 or below is never taken out of the search
--anchor--
                if (!floor.admits(lowered.least)) dropLoweredArcs(w, g, floor, level, S);
--becomes--
                if (floor.admits(lowered.least)) dropLoweredArcs(w, g, floor, level, S);
--end--

@@ THR-7 analysis/cycles/cyccnt.cpp
## nexus removal: the least flow left on a cycle never comes below infinity (the comparison turned)
--anchor--
        if (!(left > least)) least = left;
--becomes--
        if (!(left < least)) least = left;
--end--

@@ THR-8 analysis/cycles/search/branches.hpp
## search through the weak arc on threads: a cycle that closes above the cut is left out
--anchor--
            piece.branch = false;
            pieces.push_back(piece);
            continue;
--becomes--
            piece.branch = false;
            continue;
--end--

@@ THR-9 analysis/cycles/search/prunedsearch.hpp
## search through the weak arc on threads: a piece whose prefix passes the arc's tail searches on as before the arc
--anchor--
        if (atA == 0 && p == arc.tail) atA = level;
--becomes--
        if (atA == 0 && p == arc.tail && false) atA = level;
--end--

@@ THR-2 analysis/cycles/search/prunedsearch.hpp
## threads: the cycle that a branch's own prefix closes is not counted
--anchor--
            if (closes && !visit(FoundCycle{level + 1, nullptr, 0, 0.0f, 0.0f})) return false;
--becomes--
            if (closes && false) return false;
--end--
@@ FMT-1 common/formats/csvtext.cpp
## CSV: a lone carriage return (old Macintosh line ends) does not end a line
--anchor--
        if (bytes[i] != '\n' && bytes[i] != '\r') continue;
--becomes--
        if (bytes[i] != '\n') continue;
--end--

@@ FMT-2 common/formats/csvtext.cpp
## CSV: a doubled quote inside a quoted cell closes the cell
--anchor--
        } else if (at + 1 < text.size() && text[at + 1] == '"') {
--becomes--
        } else if (false) {
--end--

@@ FMT-3 common/formats/csvtext.cpp
## CSV: a negative value is taken
--anchor--
        if (value < 0.0f) {
--becomes--
        if (value < -3.0e38f) {
--end--

@@ FMT-4 common/formats/netdraft.cpp
## record of a draft: the non-living compartments are numbered first
--anchor--
    for (bool living : {true, false}) {
--becomes--
    for (bool living : {false, true}) {
--end--

@@ FMT-5 common/formats/netdraft.cpp
## record of a draft: long names that are the same once cut are taken
--anchor--
        if (!fresh) {
            const DraftCompartment& other = *it->second;
--becomes--
        if (false) {
            const DraftCompartment& other = *it->second;
--end--

@@ FMT-6 common/formats/csvmatrix.cpp
## CSV matrix: the flows are read from column to row
--anchor--
        if (v > 0.0f) draft.flows.push_back({k, to, v});
--becomes--
        if (v > 0.0f) draft.flows.push_back({to, k, v});
--end--

@@ FMT-7 common/formats/nea.cpp
## NEA: the flows are read from row to column
--anchor--
            if (v > 0.0f) draft.flows.push_back({j - 1, i - 1, v});
--becomes--
            if (v > 0.0f) draft.flows.push_back({i - 1, j - 1, v});
--end--

@@ FMT-8 common/formats/csvedges.cpp
## edge list: a flow given twice is taken, the later value standing
--anchor--
    if (!fresh) {
        formatError(csv.file, row.line, 0,
--becomes--
    if (false) {
        formatError(csv.file, row.line, 0,
--end--

@@ FMT-9 common/formats/networkformat.cpp
## analysis of a CSV network: an error line of its counts is told at the table's last line
--anchor--
        input.openText(path, text.str(), {titleLine, draft.countLine, draft.lastLine});
--becomes--
        input.openText(path, text.str(), {titleLine, draft.lastLine, draft.lastLine});
--end--

@@ JV2-1 analysis/results/summary.cpp
## summary: the cycled-flow index of the feeding cycles even when the whole network was searched
--anchor--
    return r.whole != nullptr ? *r.whole : *r.feeding;
--becomes--
    return *r.feeding;
--end--

@@ JV2-2 analysis/results/resultscompartments.cpp
## table of the compartments: the place in the file is the number
--anchor--
    c["givenOrder"] = given ? r.source->givenOrder[k] : i;
--becomes--
    c["givenOrder"] = i;
--end--

@@ JV2-3 analysis/stages/steady.cpp
## largest imbalance: its compartment one too far
--anchor--
            s.largestImbalanceAt = i;
--becomes--
            s.largestImbalanceAt = i + 1;
--end--

@@ JV2-4 analysis/run/command.cpp
## a network out of steady state is told under -q too
--anchor--
    if (quiet_ || r.steady->steady) return;
--becomes--
    if (r.steady->steady) return;
--end--

@@ JV2-5 analysis/cycles/cyccnt.cpp
## nexus table of CYCCNT: a listed cycle loses its last node
--anchor--
        table_.addCycle(nexus_, TOTAL_, nodes, L);
--becomes--
        table_.addCycle(nexus_, TOTAL_, nodes, L - 1);
--end--

@@ JV2-6 analysis/cycles/cyclestore.cpp
## nexus table of CYCLES: the weak arc turned round
--anchor--
        Nexus* nexus = table.add(head.weak.tail, head.weak.head, head.w, m);
--becomes--
        Nexus* nexus = table.add(head.weak.head, head.weak.tail, head.w, m);
--end--

@@ BAL-9 flowentry/entryformats.cpp
## table of changes: a stock's value before is its value after
--anchor--
        changeRow(out, before, "stock", k, 0, A(n + 2, k), B(n + 2, k));
--becomes--
        changeRow(out, before, "stock", k, 0, B(n + 2, k), B(n + 2, k));
--end--

@@ PEER-1 analysis/companion/storage.cpp
## storage analysis: one step too many where T / x is a whole number
--anchor--
    const double steps = std::max(1.0, std::ceil((p.T.array() / p.x.array()).maxCoeff()));
--becomes--
    const double steps = std::floor((p.T.array() / p.x.array()).maxCoeff()) + 1.0;
--end--

@@ PEER-2 analysis/companion/utility.cpp
## utility: the diagonal left out of the relations changed
--anchor--
        for (Eigen::Index j = i; j < n; ++j) {
--becomes--
        for (Eigen::Index j = i + 1; j < n; ++j) {
--end--

@@ PEER-3 analysis/companion/netindices.cpp
## trophic levels: self-feeding counted in the diet
--anchor--
        const double intake = p.F.col(i).sum() - p.F(i, i);
--becomes--
        const double intake = p.F.col(i).sum();
--end--

@@ PEER-4 analysis/companion/flowpartition.cpp
## flow partition: the direct flow counted as indirect
--anchor--
    f.indirect = (p.z.transpose() * (p.N - I - p.G)).sum();
--becomes--
    f.indirect = (p.z.transpose() * (p.N - I)).sum();
--end--

@@ PEER-5 analysis/companion/centrality.cpp
## eigenvector centrality: the left eigenvector for the right one
--anchor--
    c.eigenvectorIn = dominantVector(p.G);
--becomes--
    c.eigenvectorIn = dominantVector(p.G.transpose());
--end--

@@ PEER-6 analysis/companion/structurestats.cpp
## structure statistics: the damping ratio over the smallest eigenvalue
--anchor--
    if (moduli.size() > 1 && moduli[1] > same) s.dampingRatio = s.lambda1 / moduli[1];
--becomes--
    if (moduli.size() > 1 && moduli.back() > same) s.dampingRatio = s.lambda1 / moduli.back();
--end--

@@ BAL-10 flowentry/balance.cpp
## balancing methods: the output-based method balanced by inputs
--anchor--
    const bool solved = method == BalanceMethod::Input ? FWDBAL(out, T, A, X, n)
--becomes--
    const bool solved = method != BalanceMethod::Average ? FWDBAL(out, T, A, X, n)
--end--
@@ UNC-1 analysis/uncertainty/sampleanalysis.cpp
## uncertainty: the sampled effective levels read one compartment off
--anchor--
    for (int i = 1; i <= nl_; ++i) a_.levels[static_cast<std::size_t>(i - 1)] = r.levels(i);
--becomes--
    for (int i = 1; i < nl_; ++i) a_.levels[static_cast<std::size_t>(i)] = r.levels(i);
--end--

@@ UNC-2 analysis/uncertainty/uncertainty.cpp
## uncertainty: an impact of 0 counted as positive
--anchor--
                positive += x > 0.0;
--becomes--
                positive += x >= 0.0;
--end--

@@ UNC-3 analysis/uncertainty/uncertainty.cpp
## uncertainty: the impact matrix read by columns
--anchor--
        for (int j = 1; j <= m.n; ++j) out.push_back(c.impactSingular ? std::nan("") : m(i, j));
--becomes--
        for (int j = 1; j <= m.n; ++j) out.push_back(c.impactSingular ? std::nan("") : m(j, i));
--end--
MUTANTS_END

# ---------------------------------------------------------------------------------------------
# Parsing the mutants.

M_ID=() M_FILE=() M_DESC=() M_FROM=() M_TO=()

parse_mutants() {
    local line state=none from="" to="" id="" file="" desc="" nfrom=0 nto=0
    while IFS= read -r line; do
        case $state in
            none)
                if [[ $line == "@@ "* ]]; then
                    read -r _ id file <<<"$line"
                    desc="" from="" to="" nfrom=0 nto=0
                    state=head
                elif [[ -n $line ]]; then
                    echo "mutants.sh: stray line in the mutant table: $line" >&2
                    exit 2
                fi
                ;;
            head)
                if [[ $line == "## "* ]]; then
                    desc=${line#"## "}
                elif [[ $line == "--anchor--" ]]; then
                    state=from
                else
                    echo "mutants.sh: mutant $id: unexpected line: $line" >&2
                    exit 2
                fi
                ;;
            from)
                if [[ $line == "--becomes--" ]]; then
                    state=to
                else
                    [[ $nfrom -gt 0 ]] && from+=$'\n'
                    from+=$line
                    nfrom=$((nfrom + 1))
                fi
                ;;
            to)
                if [[ $line == "--end--" ]]; then
                    if [[ -z $id || -z $file || -z $desc || -z $from ]]; then
                        echo "mutants.sh: mutant '$id' is incomplete" >&2
                        exit 2
                    fi
                    local k
                    for k in "${M_ID[@]}"; do
                        if [[ $k == "$id" ]]; then
                            echo "mutants.sh: mutant id $id is used twice" >&2
                            exit 2
                        fi
                    done
                    M_ID+=("$id") M_FILE+=("$file") M_DESC+=("$desc")
                    M_FROM+=("$from") M_TO+=("$to")
                    state=none
                else
                    [[ $nto -gt 0 ]] && to+=$'\n'
                    to+=$line
                    nto=$((nto + 1))
                fi
                ;;
        esac
    done <<<"$MUTANTS"
    if [[ $state != none ]]; then
        echo "mutants.sh: the mutant table ends inside mutant $id" >&2
        exit 2
    fi
}

# ---------------------------------------------------------------------------------------------
# Text replacement (exact text, no patterns).

# Prints how many times the anchor occurs in the file (overlapping occurrences counted).
anchor_count() { # FILE ANCHOR
    MUT_FROM=$2 perl -e '
        my $f = shift; open(my $h, "<", $f) or do { print "-1\n"; exit 0 };
        binmode $h; local $/; my $s = <$h>; close $h;
        my $a = $ENV{MUT_FROM}; my ($n, $p) = (0, 0);
        while (($p = index($s, $a, $p)) >= 0) { $n++; $p++; }
        print "$n\n";' "$1"
}

# Replaces the single occurrence of the anchor; fails when it is not there exactly once.
replace_once() { # FILE ANCHOR REPLACEMENT
    MUT_FROM=$2 MUT_TO=$3 perl -e '
        my $f = shift; open(my $h, "<", $f) or exit 3;
        binmode $h; local $/; my $s = <$h>; close $h;
        my ($a, $b) = ($ENV{MUT_FROM}, $ENV{MUT_TO});
        my $at = index($s, $a); exit 4 if $at < 0 || index($s, $a, $at + 1) >= 0;
        substr($s, $at, length $a) = $b;
        open($h, ">", $f) or exit 3; binmode $h; print $h $s; close($h) or exit 3;
        exit 0;' "$1"
}

# ---------------------------------------------------------------------------------------------
# Arguments.

SCRIPT_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
parse_mutants

is_mutant_id() {
    local k
    for k in "${M_ID[@]}"; do [[ $k == "$1" ]] && return 0; done
    return 1
}

LIST_ONLY=0 IN_PLACE=0
SRC="" BUILD=""
SELECTED=()
for arg in "$@"; do
    case $arg in
        -h | --help)
            sed -n '2,/^$/p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'
            exit 0
            ;;
        --list) LIST_ONLY=1 ;;
        --in-place) IN_PLACE=1 ;;
        *)
            if is_mutant_id "$arg"; then
                SELECTED+=("$arg")
            elif [[ ${#SELECTED[@]} -gt 0 ]]; then
                echo "mutants.sh: no mutant $arg (see --list)" >&2
                exit 2
            elif [[ -z $SRC ]]; then
                SRC=$arg
            elif [[ -z $BUILD ]]; then
                BUILD=$arg
            else
                echo "mutants.sh: no mutant $arg (see --list)" >&2
                exit 2
            fi
            ;;
    esac
done
[[ -z $SRC ]] && SRC=$(cd "$SCRIPT_DIR/.." && pwd)
if [[ ! -f $SRC/CMakeLists.txt ]]; then
    echo "mutants.sh: $SRC is not the source tree (no CMakeLists.txt)" >&2
    exit 2
fi
SRC=$(cd "$SRC" && pwd)
[[ -z $BUILD ]] && BUILD=$SRC/build-mut
[[ ${#SELECTED[@]} -eq 0 ]] && SELECTED=("${M_ID[@]}")

index_of() {
    local k
    for k in "${!M_ID[@]}"; do
        if [[ ${M_ID[$k]} == "$1" ]]; then
            echo "$k"
            return
        fi
    done
}

if [[ $LIST_ONLY -eq 1 ]]; then
    misplaced=0
    for id in "${SELECTED[@]}"; do
        k=$(index_of "$id")
        n=$(anchor_count "$SRC/${M_FILE[$k]}" "${M_FROM[$k]}")
        case $n in
            1) where="" ;;
            -1) where="  [file not found]" ;;
            0) where="  [anchor not found]" ;;
            *) where="  [anchor found $n times]" ;;
        esac
        [[ -n $where ]] && misplaced=$((misplaced + 1))
        printf '%-7s %-36s %s%s\n' "$id" "${M_FILE[$k]}" "${M_DESC[$k]}" "$where"
    done
    echo "${#SELECTED[@]} mutants, $misplaced not found exactly once"
    [[ $misplaced -eq 0 ]]
    exit
fi

# ---------------------------------------------------------------------------------------------
# The state of a run: one file at a time is mutated; its original waits in pending/ until it is
# back in place.

mkdir -p "$BUILD" || exit 2
BUILD=$(cd "$BUILD" && pwd)
STATE=$BUILD/mutants
if [[ $IN_PLACE -eq 0 ]]; then
    # The copy: the files git knows in the tree (tracked, or new and not ignored), else every file
    # outside the build folders; only those that differ are copied, keeping their times.
    COPY=$BUILD/source
    mkdir -p "$COPY" || exit 2
    if git -C "$SRC" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        FILES=$(cd "$SRC" && git ls-files -co --exclude-standard)
    else
        FILES=$(cd "$SRC" && find . -type f -not -path './build*' -not -path './.git/*' | sed 's|^\./||')
    fi
    while IFS= read -r f; do
        [[ -f $SRC/$f ]] || continue
        if ! cmp -s "$SRC/$f" "$COPY/$f"; then
            mkdir -p "$COPY/$(dirname "$f")" && cp -p "$SRC/$f" "$COPY/$f" || exit 2
        fi
    done <<<"$FILES"
    (cd "$COPY" && find . -type f | sed 's|^\./||') | while IFS= read -r f; do
        grep -qxF -- "$f" <<<"$FILES" || rm -f "$COPY/$f"
    done
    SRC=$COPY
    BUILD=$BUILD/build
    mkdir -p "$BUILD" || exit 2
fi
PENDING=$STATE/pending
LOGS=$STATE/logs
mkdir -p "$LOGS" || exit 2

exec 9>"$STATE/lock"
if ! flock -n 9; then
    echo "mutants.sh: another run is using $BUILD" >&2
    exit 2
fi

# A run killed outright leaves its mutated file behind: put the original back when the file is
# still exactly as the run left it.
if [[ -d $PENDING ]]; then
    path=$(cat "$PENDING/path" 2>/dev/null)
    if [[ -n $path && -f $PENDING/original ]]; then
        if [[ -f $PENDING/mutated ]] && cmp -s "$path" "$PENDING/mutated"; then
            cp "$PENDING/original" "$path" && echo "restored $path, left mutated by an earlier run"
        elif ! cmp -s "$path" "$PENDING/original"; then
            echo "mutants.sh: $path was left mutated by an earlier run and has changed since;" >&2
            echo "  its original is in $PENDING/original. Sort it out, then remove $PENDING." >&2
            exit 2
        fi
    fi
    rm -rf "$PENDING"
fi

CHILD=""
restore() {
    [[ -d $PENDING ]] || return 0
    local path
    path=$(cat "$PENDING/path" 2>/dev/null)
    # cp gives the restored file a new time, so that the next build compiles it again.
    if [[ -n $path ]] && cp "$PENDING/original" "$path"; then
        rm -rf "$PENDING"
    else
        echo "mutants.sh: could not restore $path; its original is in $PENDING/original" >&2
        return 1
    fi
}

stop_child() {
    if [[ -n $CHILD ]]; then
        kill -TERM -- "-$CHILD" 2>/dev/null || kill -TERM "$CHILD" 2>/dev/null
        wait "$CHILD" 2>/dev/null
        CHILD=""
    fi
}

on_signal() {
    trap - INT TERM HUP
    echo
    echo "interrupted: restoring the source"
    stop_child
    restore
    exit "$1"
}
trap 'on_signal 130' INT
trap 'on_signal 143' TERM
trap 'on_signal 129' HUP
trap 'stop_child; restore' EXIT

# Runs a command in a process group of its own, output to a log; its status in RC. Waiting in
# the background lets a signal reach the traps at once.
run_logged() { # LOG COMMAND...
    local log=$1
    shift
    setsid "$@" </dev/null >"$log" 2>&1 &
    CHILD=$!
    wait "$CHILD"
    RC=$?
    CHILD=""
}

configure_and_build() { # LOG
    if [[ ! -f $BUILD/CMakeCache.txt ]]; then
        local gen=()
        command -v ninja >/dev/null && gen=(-G Ninja)
        run_logged "$1.configure" cmake -S "$SRC" -B "$BUILD" "${gen[@]}" \
            -DFLOWNET_TESTS=ON -DFLOWNET_SANITIZE=OFF
        [[ $RC -eq 0 ]] || return 1
    fi
    run_logged "$1" cmake --build "$BUILD" -j "$JOBS"
    [[ $RC -eq 0 ]]
}

# Runs the whole suite; RC is ctest's status, FIRST_FAILED the first failing test (and why).
run_suite() { # LOG
    run_logged "$1" bash -c 'ulimit -f "$1"; exec ctest --test-dir "$2" -j "$3" --timeout "$4" \
        --output-on-failure' _ "$FILE_LIMIT_KB" "$BUILD" "$JOBS" "$TEST_TIMEOUT"
    FIRST_FAILED=$(sed -n '/The following tests FAILED:/{n;p;q}' "$1" |
        sed -E 's/^[[:space:]]*[0-9]+ - //; s/[[:space:]]+# GetParam\(\) = .* \(/ (/')
    if [[ $RC -ne 0 && -z $FIRST_FAILED ]]; then
        FIRST_FAILED="(ctest status $RC, no failing test named; see $1)"
    fi
}

elapsed() { # SECONDS
    printf '%dm%02ds' $(($1 / 60)) $(($1 % 60))
}

# ---------------------------------------------------------------------------------------------
# The run.

START=$SECONDS
echo "source: $SRC"
echo "build:  $BUILD"
echo "logs:   $LOGS"

# The tree as it is must build and pass, or no mutant says anything.
if ! configure_and_build "$LOGS/unmutated.build.log"; then
    echo "mutants.sh: the unmutated tree does not build; see $LOGS/unmutated.build.log*" >&2
    exit 2
fi
run_suite "$LOGS/unmutated.ctest.log"
if [[ $RC -ne 0 ]]; then
    echo "mutants.sh: the unmutated tree fails its tests ($FIRST_FAILED); see" \
        "$LOGS/unmutated.ctest.log" >&2
    exit 2
fi
echo "unmutated tree builds and passes ($(elapsed $((SECONDS - START))))"
echo

CAUGHT=0 TESTED=0 NOBUILD=0 NOANCHOR=0
MISSED_IDS=() NOBUILD_IDS=() NOANCHOR_IDS=()
for id in "${SELECTED[@]}"; do
    k=$(index_of "$id")
    file=${M_FILE[$k]}
    path=$SRC/$file
    head=$(printf '%-7s %-36s %s' "$id" "$file" "${M_DESC[$k]}")
    n=$(anchor_count "$path" "${M_FROM[$k]}")
    if [[ $n != 1 ]]; then
        case $n in
            -1) why="file not found" ;;
            0) why="anchor not found" ;;
            *) why="anchor found $n times" ;;
        esac
        echo "$head: NOT-APPLIED ($why)"
        NOANCHOR=$((NOANCHOR + 1))
        NOANCHOR_IDS+=("$id")
        continue
    fi

    t0=$SECONDS
    rm -rf "$PENDING"
    mkdir -p "$PENDING"
    cp "$path" "$PENDING/original" || exit 2
    echo "$path" >"$PENDING/path"
    if ! replace_once "$path" "${M_FROM[$k]}" "${M_TO[$k]}"; then
        restore
        echo "$head: NOT-APPLIED (the replacement failed)"
        NOANCHOR=$((NOANCHOR + 1))
        NOANCHOR_IDS+=("$id")
        continue
    fi
    cp "$path" "$PENDING/mutated"

    if ! configure_and_build "$LOGS/$id.build.log"; then
        restore
        echo "$head: NO-BUILD ($(elapsed $((SECONDS - t0))))"
        NOBUILD=$((NOBUILD + 1))
        NOBUILD_IDS+=("$id")
        continue
    fi
    run_suite "$LOGS/$id.ctest.log"
    restore || exit 2
    TESTED=$((TESTED + 1))
    if [[ $RC -ne 0 ]]; then
        CAUGHT=$((CAUGHT + 1))
        echo "$head: CAUGHT by $FIRST_FAILED ($(elapsed $((SECONDS - t0))))"
    else
        MISSED_IDS+=("$id")
        echo "$head: MISSED ($(elapsed $((SECONDS - t0))))"
    fi
done

# The build folder goes back to the unmutated tree.
configure_and_build "$LOGS/unmutated.rebuild.log" ||
    echo "mutants.sh: the rebuild of the restored tree failed; see $LOGS/unmutated.rebuild.log" >&2

echo
[[ ${#MISSED_IDS[@]} -gt 0 ]] && echo "missed: ${MISSED_IDS[*]}"
[[ $NOBUILD -gt 0 ]] && echo "did not build (not counted): ${NOBUILD_IDS[*]}"
[[ $NOANCHOR -gt 0 ]] && echo "not applied, anchor not found once (not counted): ${NOANCHOR_IDS[*]}"
echo "total time $(elapsed $((SECONDS - START)))"
echo "caught $CAUGHT of $TESTED"
