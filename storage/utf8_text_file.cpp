#include "storage/utf8_text_file.h"

#include "storage/platform_files.h"
#include "storage/utf8_codec.h"

#include <algorithm>
#include <cstring>

namespace praxora {

namespace {

constexpr char kMark[] = "\xEF\xBB\xBF";
constexpr std::size_t kMarkSize = 3;

// Reads up to size bytes, fewer only at the end of the file; -1 on failure.
std::int64_t ReadUpTo(platform::ReadOnlyFile& file, char* buffer, std::size_t size) {
    std::size_t filled = 0;
    while (filled < size) {
        const std::int64_t count = file.Read(buffer + filled, size - filled);
        if (count < 0) {
            return -1;
        }
        if (count == 0) {
            break;
        }
        filled += static_cast<std::size_t>(count);
    }
    return static_cast<std::int64_t>(filled);
}

// The content of a file of at most limit bytes, without one leading mark. The mark is
// read on its own so the content lands at the start of its buffer, with no move after.
// The buffer holds one byte more than the size seen at opening: a file that grew
// meanwhile fills it, and is read on until its end or past the limit.
bool ReadFileContent(const std::string& path, std::size_t limit, std::string& content) {
    platform::ReadOnlyFile file;
    if (!file.Open(path) || file.Size() > limit) {
        return false;
    }
    char head[kMarkSize];
    const std::int64_t head_read = ReadUpTo(file, head, kMarkSize);
    if (head_read < 0) {
        return false;
    }
    const auto head_size = static_cast<std::size_t>(head_read);
    const bool marked = head_size == kMarkSize && std::memcmp(head, kMark, kMarkSize) == 0;
    std::size_t total = head_size;  // bytes of the file read so far, the mark included
    std::size_t filled = marked ? 0 : head_size;
    const auto expected = static_cast<std::size_t>(file.Size());
    content.resize(filled + (expected > total ? expected - total : 0) + 1);
    if (!marked) {
        std::memcpy(&content[0], head, head_size);
    }
    for (;;) {
        if (filled == content.size()) {
            const std::size_t room = limit + 1 - total;  // one byte past the limit tells
            content.resize(filled + std::min(room, std::max<std::size_t>(filled, 4096)));
        }
        const std::int64_t count = file.Read(&content[filled], content.size() - filled);
        if (count < 0) {
            return false;
        }
        if (count == 0) {
            break;
        }
        filled += static_cast<std::size_t>(count);
        total += static_cast<std::size_t>(count);
        if (total > limit) {
            return false;
        }
    }
    content.resize(filled);
    return true;
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
        // Exactly one mark goes; a second one stays in the text as U+FEFF.
        std::string content;
        if (!ReadFileContent(path, kMaxUtf8TextFileSize, content)) {
            return false;
        }
        const std::size_t valid = utf8::ValidPrefixLength(content.data(), content.size());
        if (valid == content.size()) {
            text.swap(content);
            return true;
        }
        std::string decoded;
        decoded.reserve(content.size() + content.size() / 2);
        decoded.append(content, 0, valid);
        utf8::AppendWithReplacement(content.data() + valid, content.size() - valid, decoded);
        text.swap(decoded);
        return true;
    } catch (...) {
        text.clear();
        return false;
    }
}

}  // namespace praxora
