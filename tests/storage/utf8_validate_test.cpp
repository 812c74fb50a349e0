// The vector validators must give exactly the scalar prefix length for every input; they
// only judge whole blocks, so the cases sit across block edges, where a wrong hand-over
// to the scalar code or a lost carry from the previous block would show.
#include "storage/utf8_validate.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "storage/utf8_codec.h"

namespace {

using praxora::utf8::detail::NamedValidator;
using praxora::utf8::detail::ValidPrefixLengthScalar;
using praxora::utf8::detail::VectorValidators;

std::size_t Scalar(const std::string& text) {
    return ValidPrefixLengthScalar(text.data(), text.size());
}

// Every vector validator and the public entry point agree with the scalar code.
void ExpectAllAgree(const std::string& text, const std::string& what) {
    const std::size_t expected = Scalar(text);
    for (const NamedValidator& v : VectorValidators()) {
        ASSERT_EQ(v.validate(text.data(), text.size()), expected)
            << v.name << ", " << what << ", size " << text.size();
    }
    ASSERT_EQ(praxora::utf8::ValidPrefixLength(text.data(), text.size()), expected) << what;
}

// Well-formed text of exactly `size` bytes, with two-, three- and four-byte sequences
// so the blocks before a case take the full check rather than the ASCII shortcut.
std::string MixedText(std::size_t size) {
    static const char* const kPieces[] = {"\xC3\xA9",         "a",        "\xE4\xB8\xAD",
                                          "\xF0\x9F\x98\x80", "\xD0\x96", "\x00"};
    std::string text;
    for (std::size_t i = 0;; ++i) {
        const char* piece = kPieces[i % 6];
        const std::size_t length = piece[0] == '\0' ? 1 : std::char_traits<char>::length(piece);
        if (text.size() + length > size) {
            break;
        }
        text.append(piece, length);
    }
    text.append(size - text.size(), 'z');
    return text;
}

// The reference itself, on cases whose answer is known.
struct KnownCase {
    const char* name;
    std::string bytes;
    std::size_t valid;
};

void PrintTo(const KnownCase& known, std::ostream* out) {
    *out << known.name;
}

class ScalarKnownTest : public ::testing::TestWithParam<KnownCase> {};

TEST_P(ScalarKnownTest, GivesTheLongestWellFormedPrefix) {
    EXPECT_EQ(Scalar(GetParam().bytes), GetParam().valid);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Utf8Validate, ScalarKnownTest,
    ::testing::Values(KnownCase{"Empty", "", 0}, KnownCase{"Nul", "a\0b"s, 3},
                      KnownCase{"AllLengths", "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80", 10},
                      KnownCase{"Overlong2", "a\xC1\xBF", 1},
                      KnownCase{"Overlong3", "ab\xE0\x9F\xBF", 2},
                      KnownCase{"Overlong4", "\xF0\x8F\xBF\xBF", 0},
                      KnownCase{"Surrogate", "\xED\x9F\xBF\xED\xA0\x80", 3},
                      KnownCase{"PastMax", "\xF4\x8F\xBF\xBF\xF4\x90\x80\x80", 4},
                      KnownCase{"F5", "\xF5\x80\x80\x80", 0},
                      KnownCase{"StrayContinuation", "ab\x80", 2},
                      KnownCase{"Truncated", "a\xF0\x9F\x98", 1}),
    [](const ::testing::TestParamInfo<KnownCase>& known) { return std::string(known.param.name); });

// Sequences that are wrong, or right but easy to get wrong, around a block edge.
const std::vector<std::string>& HandMadeCases() {
    static const std::vector<std::string> cases = {
        "\xC3\xA9"s, "\xE4\xB8\xAD"s, "\xF0\x9F\x98\x80"s, "\xF4\x8F\xBF\xBF"s, "\xEF\xBF\xBF"s,
        "\xED\x9F\xBF"s, "\xE0\xA0\x80"s, "\xF0\x90\x80\x80"s, "\0"s, "\0\xC3\xA9\0"s,
        // truncated
        "\xC3"s, "\xE4\xB8"s, "\xE4"s, "\xF0\x9F\x98"s, "\xF0\x9F"s, "\xF0"s,
        "\xE4\xB8"
        "a"s,
        "\xF0\x9F\x98"
        "a"s,
        "\xC3\xC3\xA9"s, "\xF0\x9F\xC3\xA9"s,
        // overlong
        "\xC0\x80"s, "\xC1\xBF"s, "\xE0\x80\x80"s, "\xE0\x9F\xBF"s, "\xF0\x80\x80\x80"s,
        "\xF0\x8F\xBF\xBF"s,
        // surrogates, past U+10FFFF, never a lead
        "\xED\xA0\x80"s, "\xED\xBF\xBF"s, "\xF4\x90\x80\x80"s, "\xF4\xBF\xBF\xBF"s,
        "\xF5\x80\x80\x80"s, "\xF7\xBF\xBF\xBF"s, "\xF8\x88\x80\x80\x80"s, "\xFF"s, "\xFE"s,
        // stray or extra continuations
        "\x80"s, "\xBF"s, "\xC3\xA9\xA9"s, "\xE4\xB8\xAD\x80"s, "\xF0\x9F\x98\x80\x80"s,
        "\x80\x80\x80\x80"s};
    return cases;
}

TEST(Utf8Validate, HandMadeCasesAtEveryOffsetAroundBlockEdges) {
    if (VectorValidators().empty()) {
        GTEST_SKIP() << "no vector validator on this CPU";
    }
    const std::size_t edges[] = {16, 32, 48, 64, 96, 128};
    for (const std::string& c : HandMadeCases()) {
        for (const std::size_t edge : edges) {
            for (std::size_t offset = edge - 5; offset <= edge + 1; ++offset) {
                for (const bool mixed : {false, true}) {
                    const std::string head = mixed ? MixedText(offset) : std::string(offset, 'a');
                    const std::string what = "case of " + std::to_string(c.size()) + " bytes at " +
                                             std::to_string(offset) +
                                             (mixed ? " after mixed text" : " after ASCII");
                    // At the very end, then followed by ASCII and by more mixed text.
                    ExpectAllAgree(head + c, what + ", at the end");
                    ExpectAllAgree(head + c + std::string(70, 'b'), what + ", then ASCII");
                    ExpectAllAgree(head + c + MixedText(70), what + ", then mixed");
                }
            }
        }
    }
}

// Every four-byte window of these byte kinds, across a 32-byte edge (and so a 16-byte
// one): all the pairs and runs the lookup tables and the continuation check must judge.
TEST(Utf8Validate, AllWindowsOfByteKindsAcrossAnEdge) {
    if (VectorValidators().empty()) {
        GTEST_SKIP() << "no vector validator on this CPU";
    }
    const unsigned char kinds[] = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0,
                                   0xBF, 0xC0, 0xC1, 0xC2, 0xDF, 0xE0, 0xE1, 0xED,
                                   0xEF, 0xF0, 0xF1, 0xF4, 0xF5, 0xFF};
    const std::string head = MixedText(26);
    for (std::size_t offset = 29; offset <= 32; ++offset) {
        std::string text =
            head + std::string(offset - head.size(), 'a') + "wxyz" + std::string(64, 'b');
        std::string at_end = text.substr(0, offset + 4);
        for (const unsigned char a : kinds) {
            for (const unsigned char b : kinds) {
                for (const unsigned char c : kinds) {
                    for (const unsigned char d : kinds) {
                        const char window[] = {static_cast<char>(a), static_cast<char>(b),
                                               static_cast<char>(c), static_cast<char>(d)};
                        text.replace(offset, 4, window, 4);
                        at_end.replace(offset, 4, window, 4);
                        const std::size_t expected = Scalar(text);
                        const std::size_t expected_at_end = Scalar(at_end);
                        for (const NamedValidator& v : VectorValidators()) {
                            ASSERT_EQ(v.validate(text.data(), text.size()), expected)
                                << v.name << " window " << int{a} << ' ' << int{b} << ' ' << int{c}
                                << ' ' << int{d} << " at " << offset;
                            ASSERT_EQ(v.validate(at_end.data(), at_end.size()), expected_at_end)
                                << v.name << " window " << int{a} << ' ' << int{b} << ' ' << int{c}
                                << ' ' << int{d} << " at " << offset << ", at the end";
                        }
                    }
                }
            }
        }
    }
}

// Damaged copies of well-formed text: bytes overwritten, removed or cut off.
TEST(Utf8Validate, RandomDamageAgreesWithScalar) {
    if (VectorValidators().empty()) {
        GTEST_SKIP() << "no vector validator on this CPU";
    }
    std::mt19937 random(20240611);
    const std::string original = MixedText(300);
    for (int round = 0; round < 4000; ++round) {
        std::string text = original.substr(0, random() % original.size());
        const unsigned damages = random() % 4;
        for (unsigned i = 0; i < damages && !text.empty(); ++i) {
            const std::size_t at = random() % text.size();
            switch (random() % 3) {
                case 0:
                    text[at] = static_cast<char>(random() % 256);
                    break;
                case 1:
                    text.erase(at, 1);
                    break;
                default:
                    text[at] = static_cast<char>(0x80 | (random() % 64));  // a continuation
                    break;
            }
        }
        ExpectAllAgree(text, "round " + std::to_string(round));
    }
}

TEST(Utf8Validate, LongWellFormedTextIsAllValid) {
    const std::string text = MixedText(1 << 20);
    ExpectAllAgree(text, "1 MiB of mixed text");
    EXPECT_EQ(Scalar(text), text.size());
}

}  // namespace
