#include "storage/utf8_text_file.h"

#include "storage/platform_files.h"
#include "storage/utf8_codec.h"

#include <algorithm>
#include <cstring>

namespace praxora {

namespace {

constexpr char kMark[] = "\xEF\xBB\xBF";
constexpr std::size_t kMarkSize = 3;

// The whole file, at most limit bytes. The buffer holds one byte more than the size
// seen at opening, so a file that grew meanwhile shows up as a read that fills it.
bool ReadWholeFile(const std::string& path, std::size_t limit, std::string& bytes) {
    platform::ReadOnlyFile file;
    if (!file.Open(path) || file.Size() > limit) {
        return false;
    }
    bytes.resize(static_cast<std::size_t>(file.Size()) + 1);
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (filled > limit) {
                return false;
            }
            bytes.resize(std::min(limit + 1, std::max<std::size_t>(filled * 2, 4096)));
        }
        const std::int64_t count = file.Read(&bytes[filled], bytes.size() - filled);
        if (count < 0) {
            return false;
        }
        if (count == 0) {
            break;
        }
        filled += static_cast<std::size_t>(count);
    }
    bytes.resize(filled);
    return true;
}

bool StartsWithMark(const std::string& bytes) {
    return bytes.size() >= kMarkSize && std::memcmp(bytes.data(), kMark, kMarkSize) == 0;
}

}  // namespace

bool WriteUtf8TextFile(const std::string& path, const std::string& text) noexcept {
    try {
        const std::size_t valid = utf8::ValidPrefixLength(text.data(), text.size());
        std::string repaired;
        const std::string* body = &text;
        if (valid != text.size()) {
            repaired.reserve(text.size() + text.size() / 2);
            repaired.append(text, 0, valid);
            utf8::AppendWithReplacement(text.data() + valid, text.size() - valid, repaired);
            body = &repaired;
        }
        const platform::ByteRun runs[] = {{kMark, kMarkSize}, {body->data(), body->size()}};
        return platform::ReplaceFileAtomically(path, runs, 2);
    } catch (...) {
        return false;
    }
}

bool ReadUtf8TextFile(const std::string& path, std::string& text) noexcept {
    text.clear();
    try {
        std::string bytes;
        if (!ReadWholeFile(path, kMaxUtf8TextFileSize, bytes)) {
            return false;
        }
        // Exactly one mark goes; a second one stays in the text as U+FEFF.
        const std::size_t start = StartsWithMark(bytes) ? kMarkSize : 0;
        const std::size_t valid =
            start + utf8::ValidPrefixLength(bytes.data() + start, bytes.size() - start);
        if (valid == bytes.size()) {
            bytes.erase(0, start);
            text.swap(bytes);
            return true;
        }
        std::string decoded;
        decoded.reserve(bytes.size() + bytes.size() / 2);
        decoded.append(bytes, start, valid - start);
        utf8::AppendWithReplacement(bytes.data() + valid, bytes.size() - valid, decoded);
        text.swap(decoded);
        return true;
    } catch (...) {
        text.clear();
        return false;
    }
}

}  // namespace praxora
