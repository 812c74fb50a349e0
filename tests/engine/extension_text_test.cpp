// The extension's own text conversions: UTF-16 to UTF-8 for every buffer read (block
// edges of its eight-unit steps, NULs, unpaired surrogates) and UTF-8 to UTF-16 for
// writes of non-ASCII text.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host/webkitgtk/extension/utf16_to_utf8.h"
#include "host/webkitgtk/extension/utf8_to_utf16.h"
#include "tests/engine/engine_fixture.h"

namespace praxora::testing {
namespace {

struct ConversionCase {
    const char* name;
    std::u16string units;
    std::string expected;
};

void PrintTo(const ConversionCase& c, std::ostream* os) {
    *os << c.name;
}

std::u16string Ascii(size_t count) {
    std::u16string units;
    for (size_t i = 0; i < count; ++i) {
        units += static_cast<char16_t>('a' + i % 26);
    }
    return units;
}

std::string AsciiBytes(size_t count) {
    std::string bytes;
    for (size_t i = 0; i < count; ++i) {
        bytes += static_cast<char>('a' + i % 26);
    }
    return bytes;
}

class Utf16ToUtf8Test : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(Utf16ToUtf8Test, ConvertsUpToTheFirstNul) {
    const ConversionCase& c = GetParam();
    std::vector<char> out(extension::MaxUtf8Size(c.units.size()) + 1, '#');
    const size_t size = extension::Utf16ToUtf8(
        reinterpret_cast<const std::uint16_t*>(c.units.data()), c.units.size(), out.data());
    EXPECT_EQ(std::string(out.data(), size), c.expected);
    EXPECT_EQ(out[size], '#');  // nothing written past what it reports
}

const std::string kReplacement = "\xEF\xBF\xBD";

INSTANTIATE_TEST_SUITE_P(
    Texts, Utf16ToUtf8Test,
    ::testing::Values(
        ConversionCase{"empty", u"", ""},
        ConversionCase{"ascii_blocks_and_tail", Ascii(8 * 5 + 3), AsciiBytes(8 * 5 + 3)},
        ConversionCase{"every_length_class", u"a\u00e9\u4e2d\U0001F600z",
                       "a\u00e9\u4e2d\U0001F600z"},
        ConversionCase{"pair_across_a_block_edge", Ascii(7) + u"\U0001F600" + Ascii(7),
                       AsciiBytes(7) + "\U0001F600" + AsciiBytes(7)},
        ConversionCase{"non_ascii_block_then_ascii",
                       u"\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9" + Ascii(9),
                       "\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9" + AsciiBytes(9)},
        ConversionCase{"nul_inside_a_block", Ascii(3) + std::u16string(1, u'\0') + Ascii(12),
                       AsciiBytes(3)},
        ConversionCase{"nul_after_blocks", Ascii(17) + std::u16string(1, u'\0') + Ascii(2),
                       AsciiBytes(17)},
        ConversionCase{"nul_in_a_non_ascii_block", u"\u00e9" + std::u16string(1, u'\0') + Ascii(10),
                       "\u00e9"},
        ConversionCase{"high_surrogate_at_the_end", u"ab\xD83D", "ab" + kReplacement},
        ConversionCase{"lone_low_surrogate", u"\xDE00z", kReplacement + "z"},
        ConversionCase{"high_before_a_non_surrogate", u"\xD83Dxyz", kReplacement + "xyz"},
        ConversionCase{"two_highs_then_a_low", u"\xD83D\xD83D\xDE00", kReplacement + "\U0001F600"},
        ConversionCase{"lone_surrogate_in_a_long_text", Ascii(9) + u"\xDC00" + Ascii(9),
                       AsciiBytes(9) + kReplacement + AsciiBytes(9)}));

struct DecodingCase {
    const char* name;
    std::string bytes;
    std::u16string expected;
};

void PrintTo(const DecodingCase& c, std::ostream* os) {
    *os << c.name;
}

class Utf8ToUtf16Test : public ::testing::TestWithParam<DecodingCase> {};

TEST_P(Utf8ToUtf16Test, DecodesCheckedText) {
    const DecodingCase& c = GetParam();
    std::vector<std::uint16_t> out(c.bytes.size() + 1, 0xABCD);
    const size_t count = extension::Utf8ToUtf16(c.bytes.data(), c.bytes.size(), out.data());
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(out.data()), count), c.expected);
    EXPECT_EQ(out[count], 0xABCD);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Utf8ToUtf16Test,
    ::testing::Values(
        DecodingCase{"empty", "", u""},
        DecodingCase{"ascii_blocks_and_tail", AsciiBytes(16 * 3 + 5), Ascii(16 * 3 + 5)},
        DecodingCase{"every_length_class", "a\u00e9\u4e2d\U0001F600z", u"a\u00e9\u4e2d\U0001F600z"},
        // The emoji's four bytes start at offset 14 of the first sixteen-byte block.
        DecodingCase{"sequence_across_a_block_edge", AsciiBytes(14) + "\U0001F600" + AsciiBytes(20),
                     Ascii(14) + u"\U0001F600" + Ascii(20)},
        DecodingCase{"sequence_cut_short_at_the_end", "ab\xE4\xB8", u"ab\xFFFD"}));

// The same conversion for a text the page wrote, through the real engine.
using ExtensionReadTest = EngineTest;

TEST_F(ExtensionReadTest, PageTextWithAnUnpairedSurrogateArrivesWithAReplacement) {
    Load("buffer.html");
    ASSERT_TRUE(Engine().RunScript(
        "document.getElementById('nativeBuffer').value='ab\\ud83d'+'c'.repeat(20)+"
        "'\\ude00\\u00e9';"));
    std::string text;
    ASSERT_EQ(Engine().ReadBuffer(text), BufferAccess::Done);
    EXPECT_EQ(text, "ab" + kReplacement + std::string(20, 'c') + kReplacement + "\u00e9");
}

TEST_F(ExtensionReadTest, MalformedTextIsWrittenWithReplacements) {
    Load("buffer.html");
    // The host repairs the text before it goes out; the replacement is non-ASCII.
    ASSERT_EQ(Engine().WriteBuffer("a\xFF"
                                   "b"),
              BufferAccess::Done);
    std::string text;
    ASSERT_EQ(Engine().ReadBuffer(text), BufferAccess::Done);
    EXPECT_EQ(text, "a" + kReplacement + "b");
    ASSERT_EQ(Engine().WriteBuffer("\u00e9\xE4\xB8"), BufferAccess::Done);
    ASSERT_EQ(Engine().ReadBuffer(text), BufferAccess::Done);
    EXPECT_EQ(text, "\u00e9" + kReplacement);
}

}  // namespace
}  // namespace praxora::testing
