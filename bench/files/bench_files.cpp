// Cost of writing and reading record files against the same bytes moved with plain
// system calls. The folder is PRAXORA_BENCH_DIR, else /var/tmp (a disk, not tmpfs, so
// fsync costs what it costs for the user).
#include "bench/bench_timing.h"
#include "storage/utf8_codec.h"
#include "storage/utf8_text_file.h"

#include <fcntl.h>
#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kRuns = 11;
constexpr std::size_t kSmall = std::size_t{30} * 1024;
const std::string kMark = "\xEF\xBB\xBF";

double MedianMilliseconds(const std::function<void()>& run) {
    return praxora::bench::MedianMilliseconds(run, kRuns);
}

void Fail(const char* what) {
    std::fprintf(stderr, "bench_files: %s failed\n", what);
    std::exit(1);
}

// Raw baseline: the file's bytes in one write, fsync, close.
void RawWrite(const std::string& path, const std::string& bytes) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0 || write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) ||
        fsync(fd) != 0 || close(fd) != 0) {
        Fail("raw write");
    }
}

// Raw baseline: open, fstat, a fresh buffer of that size, read, close.
void RawRead(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || fstat(fd, &info) != 0) {
        Fail("raw open");
    }
    const auto size = static_cast<std::size_t>(info.st_size);
    std::unique_ptr<char[]> buffer(new char[size]);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t count = read(fd, buffer.get() + done, size - done);
        if (count <= 0) {
            Fail("raw read");
        }
        done += static_cast<std::size_t>(count);
    }
    close(fd);
}

// Text of about size bytes (whole characters only) that mixes the scripts a record holds.
std::string NonAsciiText(std::size_t size) {
    static const std::string kPieces[] = {"Jos\xC3\xA9 M\xC3\xBCller, ",
                                          "\xE7\x97\x85\xE6\xAD\xB4 ", "\xF0\x9F\x91\x8D ",
                                          "line\r\n"};
    std::string text;
    for (std::size_t i = 0;; ++i) {
        const std::string& piece = kPieces[i % 4];
        if (text.size() + piece.size() > size) {
            break;
        }
        text += piece;
    }
    return text;
}

struct Case {
    const char* name;
    std::string text;
};

}  // namespace

int main() {
    const char* base = std::getenv("PRAXORA_BENCH_DIR");
    std::string pattern =
        std::string(base != nullptr ? base : "/var/tmp") + "/praxora-bench-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        Fail("mkdtemp");
    }
    const std::string folder = pattern;
    const std::string ours = folder + "/record.tolv";
    const std::string raw = folder + "/raw.tolv";

    const std::size_t large = praxora::kMaxUtf8TextFileSize - kMark.size();
    const Case cases[] = {{"30 KB ASCII", std::string(kSmall, 'a')},
                          {"30 KB non-ASCII", NonAsciiText(kSmall)},
                          {"16 MiB ASCII", std::string(large, 'a')},
                          {"16 MiB non-ASCII", NonAsciiText(large)}};

    std::printf("folder %s, median of %d runs, milliseconds\n", folder.c_str(), kRuns);
    std::printf("%-18s %-6s %10s %10s %7s\n", "file", "op", "ours", "raw", "ratio");
    for (const Case& c : cases) {
        const std::string bytes = kMark + c.text;
        const double write_ours = MedianMilliseconds([&] {
            if (!praxora::WriteUtf8TextFile(ours, c.text)) {
                Fail("WriteUtf8TextFile");
            }
        });
        const double write_raw = MedianMilliseconds([&] { RawWrite(raw, bytes); });
        const double read_ours = MedianMilliseconds([&] {
            std::string text;
            if (!praxora::ReadUtf8TextFile(ours, text) || text.size() != c.text.size()) {
                Fail("ReadUtf8TextFile");
            }
        });
        const double read_raw = MedianMilliseconds([&] { RawRead(raw); });
        std::printf("%-18s %-6s %10.3f %10.3f %6.2fx\n", c.name, "write", write_ours, write_raw,
                    write_ours / write_raw);
        std::printf("%-18s %-6s %10.3f %10.3f %6.2fx\n", c.name, "read", read_ours, read_raw,
                    read_ours / read_raw);
    }

    // A save looks through its folder for what killed saves left: its cost beside many
    // records, as in a clinic's Patients folder after years of use.
    constexpr int kNeighbours = 5000;
    const std::string crowded = folder + "/crowded";
    std::filesystem::create_directory(crowded);
    for (int i = 0; i < kNeighbours; ++i) {
        std::ofstream(crowded + "/patient-" + std::to_string(i) + ".tolv") << kMark;
    }
    const std::string small_text(kSmall, 'a');
    const double crowded_write = MedianMilliseconds([&] {
        if (!praxora::WriteUtf8TextFile(crowded + "/record.tolv", small_text)) {
            Fail("WriteUtf8TextFile");
        }
    });
    std::printf("\n30 KB write beside %d records, milliseconds: %10.3f\n", kNeighbours,
                crowded_write);

    // Why the codec is our own: its validation against GLib's on the same 16 MiB.
    std::printf("\nUTF-8 validation of 16 MiB, milliseconds: %10s %10s\n", "ours", "GLib");
    for (const Case& c : {cases[2], cases[3]}) {
        const double own = MedianMilliseconds([&] {
            if (praxora::utf8::ValidPrefixLength(c.text.data(), c.text.size()) != c.text.size()) {
                Fail("ValidPrefixLength");
            }
        });
        const double glib = MedianMilliseconds([&] {
            if (!g_utf8_validate_len(c.text.data(), c.text.size(), nullptr)) {
                Fail("g_utf8_validate_len");
            }
        });
        std::printf("%-42s %10.3f %10.3f\n", c.name, own, glib);
    }

    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return 0;
}
