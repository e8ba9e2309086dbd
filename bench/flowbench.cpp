// flowbench: the benchmark of the cycle searches on the ladder of generated networks.
//
// For every workload it measures, side by side in one run, with the pruned search and with the
// straightforward reference search:
//   - the whole-program wall time of flowanalysis (networks of up to 80 compartments) and of
//     flowanalysis2, each run in a forked child that answers the file dialogs itself; the peak
//     memory of the child (its maximum resident set, from wait4); whether the two searches wrote
//     the same report and console output, byte for byte;
//   - the cycle analysis of flowanalysis alone (its two calls of CYCLES, the listing and removal
//     of the cycles);
//   - the counting pass of CYCCNT on the whole network as rebuilt for the full cycle analysis:
//     the number of cycles and the cycles enumerated per second.
// Every figure is the median of the repeated runs; the whole runs of the two searches take
// turns. A reference run that has not ended when the time limit strikes is stopped and reported
// as such.
//
//   flowbench [--repeat N] [--reference-repeat N] [--timeout SECONDS] [--no-reference]
//             [--program flowanalysis|flowanalysis2] [--dir FOLDER] [workload ...]
//   flowbench --threads N [--repeat N] [--timeout SECONDS] [--dir FOLDER] [workload ...]
//     the pruned counting pass and the whole flowanalysis2 run on one thread and on N threads,
//     taking turns; the reports of both compared.
// With --program only that program is measured: the calls of CYCLES go with flowanalysis, the
// counting pass (the pass of CYCCNT, which flowanalysis2 runs) with flowanalysis2.
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "arrays.hpp"
#include "cycles.hpp"
#include "flowanalysis.hpp"
#include "flowanalysis2.hpp"
#include "ladder.hpp"
#include "layout.hpp"
#include "lindeman.hpp"
#include "nodeset.hpp"
#include "program.hpp"
#include "roundcount.hpp"
#include "runend.hpp"
#include "steady.hpp"
#include "steps.hpp"
#include "structure.hpp"

namespace {

using namespace flownet;
using namespace flownet::bench;

struct Options {
    int repeat = 3;
    int referenceRepeat = 1;
    int timeout = 600;
    bool reference = true;
    std::filesystem::path dir;
    std::string program;  // empty: both
    std::vector<std::string> only;
    int threads = 0;  // > 0: compare one thread with that many
};

// One measured run of a child.
struct Run {
    bool finished = false;  // ended by itself with status 0 within the time limit
    bool timedOut = false;
    double seconds = 0.0;     // wall time
    double cpuSeconds = 0.0;  // the child's user and system time
    long maxRssKiB = 0;
    std::string payload;  // what the child wrote to its pipe
};

// Runs body() in a forked child, which ends with the status body returns; the child's standard
// output is a pipe whose text comes back in the payload. The child is killed by SIGALRM after the
// time limit.
template <class Body>
Run inChild(int timeout, Body&& body) {
    int fds[2];
    if (::pipe(fds) != 0) {
        std::perror("pipe");
        std::exit(2);
    }
    std::cout.flush();
    auto start = std::chrono::steady_clock::now();
    pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        ::alarm(static_cast<unsigned>(timeout));
        std::string out;
        int status = body(out);
        ssize_t written = ::write(fds[1], out.data(), out.size());
        ::_exit(written == static_cast<ssize_t>(out.size()) ? status : 3);
    }
    ::close(fds[1]);
    Run run;
    char buffer[4096];
    for (ssize_t got; (got = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        run.payload.append(buffer, got);
    ::close(fds[0]);
    int wstatus = 0;
    struct rusage usage {};
    ::wait4(pid, &wstatus, 0, &usage);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    run.maxRssKiB = usage.ru_maxrss;
    run.timedOut = WIFSIGNALED(wstatus) && WTERMSIG(wstatus) == SIGALRM;
    run.finished = WIFEXITED(wstatus) && WEXITSTATUS(wstatus) == 0;
    return run;
}

// The median times of the runs and their largest peak memory; unfinished when any run was.
struct Figure {
    bool measured = false;
    bool finished = false;
    bool timedOut = false;
    double seconds = 0.0;
    double cpuSeconds = 0.0;
    long maxRssKiB = 0;
    std::vector<std::string> payloads;  // of every run
    std::vector<double> times, cpuTimes;
};

double median(std::vector<double> v) {
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 == 1 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2.0;
}

// Adds one more run of the body to the figure, unless a run before did not finish; the
// figure's times are the medians of its runs.
template <class Body>
void measureOnce(Figure& f, int timeout, Body&& body) {
    if (f.measured && !f.finished) return;
    f.measured = true;
    Run r = inChild(timeout, body);
    f.finished = r.finished;
    f.timedOut = r.timedOut;
    f.maxRssKiB = std::max(f.maxRssKiB, r.maxRssKiB);
    f.payloads.push_back(r.payload);
    f.times.push_back(r.seconds);
    f.cpuTimes.push_back(r.cpuSeconds);
    f.seconds = median(f.times);
    f.cpuSeconds = median(f.cpuTimes);
}

template <class Body>
Figure measure(int repeat, int timeout, Body&& body) {
    Figure f;
    for (int k = 0; k < repeat; ++k) measureOnce(f, timeout, body);
    return f;
}

const char* searchName(CycleSearch how) {
    return how == CycleSearch::Pruned ? "pruned" : "reference";
}

// One more whole run of a program on the workload's network file, added to the figure. Each
// search runs in a folder of its own (pruned/ or reference/ in the benchmark folder), where it
// leaves the report and the console output under the same names, so that the two runs answer the
// dialogs alike.
void programRun(Figure& f, const Options& o, const std::string& workload, bool second,
                CycleSearch how, int threads = 1) {
    const std::string stem = workload + "." + (second ? "flowanalysis2" : "flowanalysis");
    const std::filesystem::path folder = o.dir / (threads > 1 ? "threads" : searchName(how));
    std::filesystem::create_directories(folder);
    const std::filesystem::path report = folder / (stem + ".report");
    const std::filesystem::path console = folder / (stem + ".console");
    measureOnce(f, o.timeout, [&](std::string&) {
        std::filesystem::remove(report);
        if (::chdir(folder.c_str()) != 0) return 2;
        std::istringstream answers("../" + workload + ".dat\ny\n" + report.filename().string() +
                                   "\ny\n");
        std::ofstream con(console, std::ios::binary | std::ios::trunc);
        std::ostringstream errors;
        return second ? runFlowanalysis2(answers, con, errors, how, threads)
                      : runFlowanalysis(answers, con, errors, how);
    });
}

std::string fileText(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Whether both searches left the same report and console output.
bool sameOutput(const Options& o, const std::string& workload, bool second) {
    const std::string stem = workload + "." + (second ? "flowanalysis2" : "flowanalysis");
    for (const char* kind : {".report", ".console"}) {
        if (fileText(o.dir / "pruned" / (stem + kind)) !=
            fileText(o.dir / "reference" / (stem + kind)))
            return false;
    }
    return true;
}

// Wall and processor seconds since it was started, measured inside a child.
struct Stopwatch {
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    std::clock_t cpuStart = std::clock();
    double seconds() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    double cpuSeconds() const {
        return static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    }
};

// The counting pass of CYCCNT (countingPass, the code of CYCCNT's first round) on the flows of the
// workload as the full cycle analysis rebuilds them, T(i, j) = F(i, j) X(i); with roundValues the
// pass as a round defines it, every cycle's weak arc kept. The payload holds the number of cycles
// and the wall and processor seconds the pass took.
Figure countingRun(const Options& o, const GeneratedNetwork& net, CycleSearch how,
                   bool roundValues = false, int threads = 1) {
    int repeat = how == CycleSearch::Pruned ? o.repeat : o.referenceRepeat;
    return measure(repeat, o.timeout, [&](std::string& out) {
        auto T = std::make_unique<Matrix<kMaxCycleNodes + 3>>();
        auto F = std::make_unique<Matrix<kMaxCycleNodes>>();
        for (int i = 1; i <= net.n; ++i) {
            double x = net.ex[i] + net.re[i];
            for (int j = 1; j <= net.n; ++j) x += net.flow(i, j);
            for (int j = 1; j <= net.n; ++j) {
                (*F)(i, j) = static_cast<float>(net.flow(i, j) / x);
                (*T)(i, j) = (*F)(i, j) * static_cast<float>(x);
            }
        }
        std::ostringstream console;
        const Stopwatch watch;
        const long long cycles =
            countingPass(console, T->view(), F->view(), net.n, how, roundValues, threads).cycles;
        const double cpu = watch.cpuSeconds(), seconds = watch.seconds();
        out = std::to_string(cycles) + " " + std::to_string(seconds) + " " + std::to_string(cpu);
        return 0;
    });
}

// The cycle analysis of flowanalysis alone: its two calls of CYCLES, the feeding cycles among the
// living compartments and then the cycles of the whole network, on the network read from the
// workload's file and carried through the stages before each call as flowanalysis carries it.
// The payload holds the wall and processor seconds of the two calls together.
Figure cyclesRun(const Options& o, const std::string& workload, CycleSearch how) {
    int repeat = how == CycleSearch::Pruned ? o.repeat : o.referenceRepeat;
    return measure(repeat, o.timeout, [&](std::string& out) {
        auto a = std::make_unique<AnalysisArrays<80>>();
        RecordFile input;
        std::ostringstream report;
        if (!input.open((o.dir / (workload + ".dat")).string()) ||
            !readNextTitle(input, *a, report) || !readNextNetwork(input, report, *a))
            return 2;
        checkAndAnalyseStructure(*a, report, InjectedInput::Unit);
        // A call that ends the run (a nexus beyond the store) ends the measure.
        double seconds = 0.0, cpu = 0.0;
        auto timed = [&](int nc, CycleMode mode) {
            const Stopwatch watch;
            bool going = true;
            try {
                CYCLES(report, a->T.view(), a->F.view(), nc, mode, a->TST, how);
            } catch (const RunEnd&) {
                going = false;
            }
            cpu += watch.cpuSeconds();
            seconds += watch.seconds();
            return going;
        };
        if (timed(a->NL, CycleMode::Feeding)) {
            aggregateTrophicLevels(a->N, a->NL, trophicArrays(*a), a->trophic);
            writeTrophicAggregation(report, a->N, a->NL, a->trophic);
            if (a->NL < a->N) timed(a->N, CycleMode::WholeNetwork);
        }
        out = "0 " + std::to_string(seconds) + " " + std::to_string(cpu);
        return 0;
    });
}

// The cycles counted and the median times of the pass, from the payloads of a counting run.
struct Rate {
    long long cycles = 0;
    double seconds = 0.0;
    double cpuSeconds = 0.0;
    double perSecond(bool cpu) const {
        double t = cpu ? cpuSeconds : seconds;
        return t > 0.0 ? static_cast<double>(cycles) / t / 1.0e6 : 0.0;
    }
};

Rate rate(const Figure& f) {
    Rate r;
    if (!f.finished) return r;
    std::vector<double> times, cpuTimes;
    for (const std::string& payload : f.payloads) {
        double t = 0.0, c = 0.0;
        std::istringstream(payload) >> r.cycles >> t >> c;
        times.push_back(t);
        cpuTimes.push_back(c);
    }
    r.seconds = median(times);
    r.cpuSeconds = median(cpuTimes);
    return r;
}

std::string fixed(double value, int decimals) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// Wall or processor seconds of a run; a run stopped by the time limit shows how long it ran.
std::string seconds(const Figure& f, bool cpu) {
    if (!f.measured) return "-";
    if (!f.finished && !f.timedOut) return "failed";
    return (f.timedOut ? "> " : "") + fixed(cpu ? f.cpuSeconds : f.seconds, 3);
}

std::string ratio(const Figure& fast, const Figure& slow, bool cpu) {
    if (!fast.finished || !(slow.finished || slow.timedOut)) return "-";
    double a = cpu ? fast.cpuSeconds : fast.seconds, b = cpu ? slow.cpuSeconds : slow.seconds;
    if (a <= 0.0) return "-";
    return (slow.timedOut ? "> " : "") + fixed(b / a, slow.timedOut ? 0 : 1);
}

// The ratio of the median times of two timed passes, "-" without the slower one.
std::string rateRatio(const Rate& fast, const Rate& slow, bool slowFinished, bool cpu) {
    double a = cpu ? fast.cpuSeconds : fast.seconds, b = cpu ? slow.cpuSeconds : slow.seconds;
    return slowFinished && a > 0.0 ? fixed(b / a, 1) : std::string("-");
}

std::string mebibytes(const Figure& f) {
    if (!f.measured) return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", static_cast<double>(f.maxRssKiB) / 1024.0);
    return text;
}

void parse(int argc, char** argv, Options& o) {
    for (int k = 1; k < argc; ++k) {
        std::string a = argv[k];
        auto value = [&]() {
            if (k + 1 >= argc) {
                std::cerr << "flowbench: " << a << " needs a value\n";
                std::exit(2);
            }
            return std::atoi(argv[++k]);
        };
        if (a == "--repeat") {
            o.repeat = std::max(1, value());
        } else if (a == "--reference-repeat") {
            o.referenceRepeat = std::max(1, value());
        } else if (a == "--timeout") {
            o.timeout = std::max(1, value());
        } else if (a == "--no-reference") {
            o.reference = false;
        } else if (a == "--program" && k + 1 < argc) {
            o.program = argv[++k];
        } else if (a == "--threads") {
            o.threads = std::max(1, value());
        } else if (a == "--dir" && k + 1 < argc) {
            o.dir = argv[++k];
        } else {
            o.only.push_back(a);
        }
    }
}

// Whether the workload is among those named (all when none is).
bool wanted(const Options& o, const Workload& w) {
    return o.only.empty() || std::find(o.only.begin(), o.only.end(), w.name) != o.only.end();
}

// The workload's network, its file written to the benchmark folder.
GeneratedNetwork workloadNetwork(const Options& o, const Workload& w) {
    GeneratedNetwork net = generateNetwork(w.shape);
    std::ofstream file(o.dir / (std::string(w.name) + ".dat"), std::ios::binary);
    file << networkFileText(net);
    return net;
}

// One thread against o.threads: the pruned counting pass and the whole flowanalysis2 run, the two
// taking turns; wall and processor seconds, and the wall-time ratio one thread / many.
int compareThreads(const Options& o) {
    std::cout << "| workload | cycles | pass 1 thread s | pass " << o.threads
              << " threads s | ratio | pass CPU s, 1 / " << o.threads << " | run 1 thread s | run "
              << o.threads << " threads s | ratio | run CPU s, 1 / " << o.threads
              << " | same report | peak MiB, " << o.threads << " threads |\n"
              << "|---|---:|---:|---:|---:|---|---:|---:|---:|---|---|---:|\n";
    for (const Workload& w : kLadder) {
        if (!wanted(o, w)) continue;
        const GeneratedNetwork net = workloadNetwork(o, w);
        Figure one, many, runOne, runMany;
        for (int k = 0; k < o.repeat; ++k) {
            Figure a = countingRun(o, net, CycleSearch::Pruned, false, 1);
            Figure b = countingRun(o, net, CycleSearch::Pruned, false, o.threads);
            one.payloads.insert(one.payloads.end(), a.payloads.begin(), a.payloads.end());
            many.payloads.insert(many.payloads.end(), b.payloads.begin(), b.payloads.end());
            one.finished = a.finished;
            many.finished = b.finished;
            programRun(runOne, o, w.name, true, CycleSearch::Pruned, 1);
            programRun(runMany, o, w.name, true, CycleSearch::Pruned, o.threads);
        }
        const Rate p1 = rate(one), pn = rate(many);
        const std::string stem = std::string(w.name) + ".flowanalysis2.report";
        const bool same = runOne.finished && runMany.finished &&
                          fileText(o.dir / "pruned" / stem) == fileText(o.dir / "threads" / stem);
        std::cout << "| " << w.name << " | " << p1.cycles << " | " << fixed(p1.seconds, 3) << " | "
                  << fixed(pn.seconds, 3) << " | "
                  << (pn.seconds > 0.0 ? fixed(p1.seconds / pn.seconds, 2) : "-") << " | "
                  << fixed(p1.cpuSeconds, 3) << " / " << fixed(pn.cpuSeconds, 3) << " | "
                  << seconds(runOne, false) << " | " << seconds(runMany, false) << " | "
                  << ratio(runMany, runOne, false) << " | " << seconds(runOne, true) << " / "
                  << seconds(runMany, true) << " | " << (same ? "yes" : "NO") << " | "
                  << mebibytes(runMany) << " |" << std::endl;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    parse(argc, argv, o);
    if (o.dir.empty()) {
        char pattern[] = "/tmp/flowbench-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) {
            std::perror("mkdtemp");
            return 2;
        }
        o.dir = pattern;
    }
    std::filesystem::create_directories(o.dir);
    o.dir = std::filesystem::absolute(o.dir);
    std::cout << "folder: " << o.dir.string() << "; repeats " << o.repeat << " (reference "
              << o.referenceRepeat << "), time limit " << o.timeout << " s\n\n";

    if (o.threads > 0) return compareThreads(o);
    std::cout << "Whole runs (median wall and processor seconds, ratios reference / pruned, peak "
                 "resident MiB):\n\n"
              << "| workload | cycles | program | pruned s | reference s | ratio | pruned CPU s | "
                 "reference CPU s | CPU ratio | pruned MiB | reference MiB | same output |\n"
              << "|---|---:|---|---:|---:|---:|---:|---:|---:|---:|---:|---|\n";
    std::ostringstream counting, multiples, cycles;
    cycles << "The cycle analysis of flowanalysis alone, its two calls of CYCLES (median seconds "
              "of the calls, ratios reference / pruned):\n\n"
           << "| workload | cycles | pruned s | reference s | ratio | pruned CPU s | "
              "reference CPU s | CPU ratio |\n"
           << "|---|---:|---:|---:|---:|---:|---:|---:|\n";
    counting << "Counting pass of CYCCNT on the whole network (median of the pass alone; "
                "Mcycles per wall and per processor second):\n\n"
             << "| workload | cycles | pruned s | pruned CPU s | pruned Mcycles/s | "
                "pruned Mcycles/CPU s | reference s | reference CPU s | reference Mcycles/CPU s | "
                "ratio | CPU ratio |\n"
             << "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n";
    multiples << "flowanalysis2 whole run in counting passes (pruned): the pass that only "
                 "counts, and the pass that also keeps every cycle's weak arc as a round's "
                 "counting pass is defined to:\n\n"
              << "| workload | cycles | run s | counting pass s | run / pass | run CPU s | "
                 "pass CPU s | run / pass (CPU) | defined pass CPU s | run / defined pass (CPU) "
                 "|\n"
              << "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n";
    for (const Workload& w : kLadder) {
        if (!wanted(o, w)) continue;
        const GeneratedNetwork net = workloadNetwork(o, w);
        Figure run2;
        for (bool second : {false, true}) {
            if (!second && net.n > 80) continue;
            if (!o.program.empty() && o.program != (second ? "flowanalysis2" : "flowanalysis"))
                continue;
            // The runs of the two searches take turns, so that a change in the load of the
            // machine falls on both alike.
            Figure pruned, plain;
            const int rounds = std::max(o.repeat, o.reference ? o.referenceRepeat : 0);
            for (int k = 0; k < rounds; ++k) {
                if (k < o.repeat) programRun(pruned, o, w.name, second, CycleSearch::Pruned);
                if (o.reference && k < o.referenceRepeat)
                    programRun(plain, o, w.name, second, CycleSearch::Reference);
            }
            std::string same = "-";
            if (pruned.finished && plain.finished)
                same = sameOutput(o, w.name, second) ? "yes" : "NO";
            std::cout << "| " << w.name << " | " << w.cycles << " | "
                      << (second ? "flowanalysis2" : "flowanalysis") << " | "
                      << seconds(pruned, false) << " | " << seconds(plain, false) << " | "
                      << ratio(pruned, plain, false) << " | " << seconds(pruned, true) << " | "
                      << seconds(plain, true) << " | " << ratio(pruned, plain, true) << " | "
                      << mebibytes(pruned) << " | " << mebibytes(plain) << " | " << same << " |"
                      << std::endl;
            if (second) run2 = pruned;
            if (!second) {
                const Rate fast = rate(cyclesRun(o, w.name, CycleSearch::Pruned));
                const Figure plainCycles =
                    o.reference ? cyclesRun(o, w.name, CycleSearch::Reference) : Figure{};
                const Rate slow = rate(plainCycles);
                const bool both = plainCycles.finished;
                cycles << "| " << w.name << " | " << w.cycles << " | " << fixed(fast.seconds, 4)
                       << " | " << (both ? fixed(slow.seconds, 4) : "-") << " | "
                       << rateRatio(fast, slow, both, false) << " | " << fixed(fast.cpuSeconds, 4)
                       << " | " << (both ? fixed(slow.cpuSeconds, 4) : "-") << " | "
                       << rateRatio(fast, slow, both, true) << " |\n";
            }
        }
        if (o.program == "flowanalysis") continue;
        Figure pruned = countingRun(o, net, CycleSearch::Pruned);
        Figure plain;
        if (o.reference) plain = countingRun(o, net, CycleSearch::Reference);
        const Rate fast = rate(pruned), slow = rate(plain);
        counting << "| " << w.name << " | " << fast.cycles << " | " << fixed(fast.seconds, 3)
                 << " | " << fixed(fast.cpuSeconds, 3) << " | " << fixed(fast.perSecond(false), 1)
                 << " | " << fixed(fast.perSecond(true), 1) << " | "
                 << (plain.finished ? fixed(slow.seconds, 3) : seconds(plain, false)) << " | "
                 << (plain.finished ? fixed(slow.cpuSeconds, 3) : seconds(plain, true)) << " | "
                 << (plain.finished ? fixed(slow.perSecond(true), 1) : "-") << " | "
                 << rateRatio(fast, slow, plain.finished, false) << " | "
                 << rateRatio(fast, slow, plain.finished, true) << " |\n";
        if (run2.finished && fast.seconds > 0.0 && fast.cpuSeconds > 0.0) {
            const Rate defined = rate(countingRun(o, net, CycleSearch::Pruned, true));
            multiples << "| " << w.name << " | " << fast.cycles << " | " << fixed(run2.seconds, 3)
                      << " | " << fixed(fast.seconds, 3) << " | "
                      << fixed(run2.seconds / fast.seconds, 1) << " | " << fixed(run2.cpuSeconds, 3)
                      << " | " << fixed(fast.cpuSeconds, 3) << " | "
                      << fixed(run2.cpuSeconds / fast.cpuSeconds, 1) << " | "
                      << fixed(defined.cpuSeconds, 3) << " | "
                      << (defined.cpuSeconds > 0.0 ? fixed(run2.cpuSeconds / defined.cpuSeconds, 1)
                                                   : std::string("-"))
                      << " |\n";
        }
    }
    if (o.program != "flowanalysis2") std::cout << "\n" << cycles.str();
    if (o.program != "flowanalysis") std::cout << "\n" << counting.str() << "\n" << multiples.str();
    return 0;
}
