// libFuzzer target for the record reader. Any bytes make a file; reading it must succeed
// (it is a regular file within the limit), give well-formed UTF-8 by GLib's independent
// check (NULs allowed), give well-formed content back unchanged, and survive a write and
// a second read unchanged. The vector validators must also agree with the scalar one.
#include "storage/utf8_text_file.h"
#include "storage/utf8_validate.h"

#include <glib.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::string kMark = "\xEF\xBB\xBF";

// Fuzzing writes thousands of files a second: keep them in memory when we can.
std::string MakeFolder() {
    std::string pattern = std::filesystem::is_directory("/dev/shm") ? "/dev/shm/praxora-fuzz-XXXXXX"
                                                                    : "/tmp/praxora-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        std::abort();
    }
    static std::string folder;
    folder = pattern;
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    });
    return folder;
}

const std::string& Folder() {
    static const std::string folder = MakeFolder();
    return folder;
}

// GLib's check does not take NUL bytes, so it looks at the runs between them.
bool WellFormed(const std::string& text) {
    std::size_t start = 0;
    for (;;) {
        const std::size_t nul = text.find('\0', start);
        const std::size_t end = nul == std::string::npos ? text.size() : nul;
        if (!g_utf8_validate_len(text.data() + start, end - start, nullptr)) {
            return false;
        }
        if (nul == std::string::npos) {
            return true;
        }
        start = nul + 1;
    }
}

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz_read_utf8: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace detail = praxora::utf8::detail;
    const auto* chars = reinterpret_cast<const char*>(data);
    static const std::vector<detail::NamedValidator> validators = detail::VectorValidators();
    for (const detail::NamedValidator& v : validators) {
        Check(v.validate(chars, size) == detail::ValidPrefixLengthScalar(chars, size),
              "a vector validator disagrees with the scalar one");
    }

    const std::string path = Folder() + "/input.tolv";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    Check(file != nullptr, "cannot create the input file");
    Check(std::fwrite(data, 1, size, file) == size && std::fclose(file) == 0,
          "cannot write the input file");

    std::string text = "left over";
    Check(praxora::ReadUtf8TextFile(path, text), "a regular file within the limit was refused");
    Check(WellFormed(text), "the text is not well-formed UTF-8");

    std::string content(reinterpret_cast<const char*>(data), size);
    if (content.compare(0, kMark.size(), kMark) == 0) {
        content.erase(0, kMark.size());
    }
    Check(!WellFormed(content) || text == content, "well-formed content was changed");
    Check(text.size() <= content.size() * 3, "more than one U+FFFD for a byte");

    const std::string copy = Folder() + "/copy.tolv";
    std::string again;
    Check(praxora::WriteUtf8TextFile(copy, text), "writing the text failed");
    Check(praxora::ReadUtf8TextFile(copy, again) && again == text,
          "the round trip changed the text");
    return 0;
}
