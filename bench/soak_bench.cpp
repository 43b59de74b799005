// Helper of soak.sh, run under Wine: one packaged presentation shown again and again
// the way a kiosk or screen saver shows it. ROWS shows one after another, then AT_ONCE
// started together from copies of the file, then AT_ONCE started together of the same
// file; each must show its projector inside the runner window, close and end. Prints
// every failure, the traces left afterwards and the figures.
//   soak_bench.exe [ROWS [AT_ONCE]]     (default 50 and 4)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/harness/Harness.h"
#include "tests/harness/Presentation.h"
#include "tests/harness/ShowRuns.h"

namespace {

struct TTally {
    int Shows = 0;
    int Failures = 0;
    std::vector<double> Starts;

    void Add(const char* phase, const std::vector<harness::ShowOutcome>& outcomes) {
        for (const harness::ShowOutcome& outcome : outcomes) {
            ++Shows;
            if (outcome.Shown) Starts.push_back(outcome.StartMs);
            if (outcome.Failure.empty()) continue;
            ++Failures;
            std::printf("  %s, show %d: %s\n", phase, Shows, outcome.Failure.c_str());
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    const int rows = argc > 1 ? std::atoi(argv[1]) : 50;
    const int atOnce = argc > 2 ? std::atoi(argv[2]) : 4;

    harness::PresentationSpec spec;
    spec.Name = "SoakBench";
    spec.Ini = "[Settings]\r\nPassword=0\r\nCurrentDir=1\r\n";
    harness::Presentation show(spec);
    if (!show.Packed()) {
        std::printf("packing failed:\n%s\n", show.PackOutput().c_str());
        return 2;
    }
    std::vector<std::string> names = {spec.Name + ".exe"};
    std::vector<std::string> copies;
    for (int i = 1; i <= atOnce; ++i) {
        names.push_back(spec.Name + "Copy" + std::to_string(i) + ".exe");
        copies.push_back(show.MakeCopy(names.back()));
    }

    TTally tally;
    std::printf("%d shows in a row\n", rows);
    for (int i = 0; i < rows; ++i) tally.Add("in a row", harness::RunShowsAtOnce(show, {show.ExePath()}));
    std::printf("%d at once from copies\n", atOnce);
    tally.Add("copies at once", harness::RunShowsAtOnce(show, copies));
    std::printf("%d at once of the same file\n", atOnce);
    tally.Add("same file at once",
              harness::RunShowsAtOnce(show, std::vector<std::string>(size_t(atOnce), show.ExePath())));

    const std::vector<harness::Trace> leftovers = harness::Leftovers(show, names, atOnce);
    for (const harness::Trace& trace : leftovers) std::printf("  left: %s\n", harness::Describe(trace).c_str());
    for (const std::string& name : names)
        harness::RegDeleteTree("Software\\Nimbrel Soft\\" + name.substr(0, name.size() - 4));

    std::printf("shows %d, failures %d, leftovers %zu, median start %.0f ms\n", tally.Shows, tally.Failures,
                leftovers.size(), harness::MedianOf(tally.Starts));
    return tally.Failures == 0 && leftovers.empty() ? 0 : 1;
}
