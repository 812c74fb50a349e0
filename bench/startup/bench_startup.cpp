// Time from process start to the form page's document-complete event, and the memory
// (PSS) of the whole process tree at that moment: the program and its engine processes.
// Runs the built program with a throw-away home, so no settings or data are touched.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_timing.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using praxora::bench::Clock;
constexpr int kRuns = 11;

// Parent pid of every process, read from /proc.
std::vector<std::pair<int, int>> ProcessParents() {
    std::vector<std::pair<int, int>> parents;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line)) {
            continue;
        }
        // The command name may hold spaces; the fields after it are fixed.
        const auto close = line.rfind(')');
        std::istringstream rest(line.substr(close + 2));
        char state = 0;
        int parent = 0;
        rest >> state >> parent;
        parents.emplace_back(std::stoi(name), parent);
    }
    return parents;
}

std::vector<int> ProcessTree(int root) {
    const auto parents = ProcessParents();
    std::vector<int> tree{root};
    for (size_t i = 0; i < tree.size(); ++i) {
        for (const auto& [pid, parent] : parents) {
            if (parent == tree[i]) {
                tree.push_back(pid);
            }
        }
    }
    return tree;
}

long PssKilobytes(int pid) {
    std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
    std::string key;
    long value = 0;
    while (rollup >> key) {
        if (key == "Pss:") {
            rollup >> value;
            return value;
        }
        rollup.ignore(1 << 10, '\n');
    }
    return 0;
}

struct Sample {
    double startupMs = 0;
    long pssKb = 0;
    size_t processes = 0;
};

bool RunOnce(const std::string& program, const fs::path& home, Sample& sample) {
    const fs::path probe = home / "probe";
    fs::remove(probe);
    const std::string probeSwitch = "--startup-probe=" + probe.string();
    std::vector<char*> argv{const_cast<char*>(program.c_str()),
                            const_cast<char*>(probeSwitch.c_str()), nullptr};

    const auto start = Clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
        return false;
    }
    long long completedAt = 0;
    const auto deadline = start + std::chrono::seconds(60);
    while (Clock::now() < deadline) {
        std::ifstream reading(probe);
        if (reading >> completedAt) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    bool ok = completedAt != 0;
    if (ok) {
        const auto completed = Clock::time_point(std::chrono::nanoseconds(completedAt));
        sample.startupMs = praxora::bench::Milliseconds(completed - start);
        const auto tree = ProcessTree(pid);
        sample.processes = tree.size();
        sample.pssKb = 0;
        for (const int member : tree) {
            sample.pssKb += PssKilobytes(member);
        }
    }
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string program =
        argc > 1 ? argv[1] : (fs::path(argv[0]).parent_path() / "praxora").string();
    char pattern[] = "/tmp/praxora-startup-XXXXXX";
    const fs::path home = mkdtemp(pattern);
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    setenv("XDG_CACHE_HOME", (home / "cache").c_str(), 1);

    std::vector<double> times;
    std::vector<double> pss;
    size_t processes = 0;
    Sample warmUp;  // the first run fills the file cache; it is not counted
    RunOnce(program, home, warmUp);
    for (int run = 0; run < kRuns; ++run) {
        Sample sample;
        if (!RunOnce(program, home, sample)) {
            std::fprintf(stderr, "run %d: the page did not complete\n", run + 1);
            fs::remove_all(home);
            return 1;
        }
        times.push_back(sample.startupMs);
        pss.push_back(static_cast<double>(sample.pssKb) / 1024.0);
        processes = sample.processes;
    }
    fs::remove_all(home);

    std::printf("startup to document-complete, %d runs\n", kRuns);
    std::printf("  median %.0f ms   (min %.0f, max %.0f)\n", praxora::bench::Median(times),
                *std::min_element(times.begin(), times.end()),
                *std::max_element(times.begin(), times.end()));
    std::printf("  PSS of the process tree (%zu processes): median %.1f MiB\n", processes,
                praxora::bench::Median(pss));
    return 0;
}
