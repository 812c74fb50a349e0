// What saves killed at random moments leave in the record's folder: a child saves in a
// loop, the parent kills it after a random delay, then counts the files beside the
// record and checks that the record is one whole version. Counts, not timings. The
// folder is PRAXORA_BENCH_DIR, else /var/tmp; PRAXORA_BENCH_KILLS sets the kills per size.
#include "storage/utf8_text_file.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>

namespace {

const std::string kMark = "\xEF\xBB\xBF";

void Fail(const char* what) {
    std::fprintf(stderr, "bench_killed_saves: %s failed\n", what);
    std::exit(1);
}

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Leftovers {
    int files = 0;
    int whole = 0;     // holding a complete record
    int readable = 0;  // by users other than the owner
    std::uintmax_t bytes = 0;
};

Leftovers CountLeftovers(const std::string& folder, const std::string& record_name,
                         std::uintmax_t whole_size) {
    Leftovers found;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().filename() == record_name) {
            continue;
        }
        struct stat info {};
        if (lstat(entry.path().c_str(), &info) != 0) {
            continue;
        }
        ++found.files;
        found.bytes += static_cast<std::uintmax_t>(info.st_size);
        found.whole += static_cast<std::uintmax_t>(info.st_size) == whole_size ? 1 : 0;
        found.readable += (info.st_mode & 0044) != 0 ? 1 : 0;
    }
    return found;
}

void RunSize(const std::string& base, const char* label, std::size_t size, int kills,
             std::mt19937& random) {
    std::string pattern = base + "/praxora-kills-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        Fail("mkdtemp");
    }
    const std::string folder = pattern;
    const std::string record = folder + "/record.tolv";
    const std::string versions[] = {std::string(size, 'a'), std::string(size, 'b')};
    if (!praxora::WriteUtf8TextFile(record, versions[0])) {
        Fail("first save");
    }
    // A record others may read, as a shared clinic folder would hold.
    chmod(record.c_str(), 0644);

    const auto start = std::chrono::steady_clock::now();
    praxora::WriteUtf8TextFile(record, versions[1]);
    const auto one_save = std::chrono::steady_clock::now() - start;
    // Kills land anywhere in the first two saves of the child, start-up included.
    std::uniform_int_distribution<long long> delay(
        0, std::chrono::duration_cast<std::chrono::microseconds>(one_save).count() * 2 + 500);

    int broken = 0;
    for (int kill_number = 0; kill_number < kills; ++kill_number) {
        const pid_t child = fork();
        if (child < 0) {
            Fail("fork");
        }
        if (child == 0) {
            for (unsigned turn = 0;; ++turn) {
                praxora::WriteUtf8TextFile(record, versions[turn % 2]);
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        const std::string now = ReadWhole(record);
        broken += (now == kMark + versions[0] || now == kMark + versions[1]) ? 0 : 1;
    }
    const Leftovers left = CountLeftovers(folder, "record.tolv", kMark.size() + size);
    std::printf("%-8s %6d %9d %8d %9d %12.1f %10d\n", label, kills, left.files, left.whole,
                left.readable, static_cast<double>(left.bytes) / 1e6, broken);

    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

}  // namespace

int main() {
    const char* base = std::getenv("PRAXORA_BENCH_DIR");
    const char* kills_text = std::getenv("PRAXORA_BENCH_KILLS");
    const int kills = kills_text != nullptr ? std::atoi(kills_text) : 200;
    if (kills <= 0) {
        Fail("PRAXORA_BENCH_KILLS");
    }
    std::mt19937 random(12);
    const std::string folder = base != nullptr ? base : "/var/tmp";
    std::printf("folder %s, SIGKILL at random moments of saving\n", folder.c_str());
    std::printf("%-8s %6s %9s %8s %9s %12s %10s\n", "record", "kills", "leftovers", "whole",
                "readable", "leftover MB", "not whole");
    RunSize(folder, "30 KB", std::size_t{30} * 1024, kills, random);
    RunSize(folder, "2 MB", std::size_t{2} * 1024 * 1024, kills, random);
    return 0;
}
