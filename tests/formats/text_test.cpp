#include "formats/text.h"

#include <gtest/gtest.h>

#include "formats/literals.h"

namespace formats {
namespace {

AnsiString bytes(std::string b) {
    return AnsiString(std::move(b));
}

TEST(Text, Utf8ToWindows1252AndBack) {
    struct Case {
        std::string utf8;
        std::string ansi;
    };
    const Case cases[] = {
        {"plain", "plain"},
        {"VALENCIÁ", "VALENCI\xC1"},
        {"Miércoles ñÑüÜçÇ", "Mi\xE9rcoles \xF1\xD1\xFC\xDC\xE7\xC7"},
        {"€ œ Š Ÿ “x”", "\x80 \x9C \x8A \x9F \x93x\x94"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AnsiString::fromUtf8(c.utf8).bytes(), c.ansi) << c.utf8;
        EXPECT_EQ(bytes(c.ansi).toUtf8(), c.utf8) << c.utf8;
    }
}

TEST(Text, UnrepresentableAndMalformedBecomeQuestionMarks) {
    EXPECT_EQ(AnsiString::fromUtf8("a\xE4\xB8\xAD"
                                   "b")
                  .bytes(),
              "a?b");  // a CJK character
    EXPECT_EQ(AnsiString::fromUtf8("ok \xF0\x9F\x98\x80!").bytes(), "ok ?!");
    EXPECT_EQ(AnsiString::fromUtf8("x\xC3").bytes(), "x?");     // cut sequence
    EXPECT_EQ(AnsiString::fromUtf8("\xC0\xAF").bytes(), "??");  // overlong
    EXPECT_FALSE(AnsiString::fromUtf8Strict("x\xC3").has_value());
    EXPECT_FALSE(AnsiString::fromUtf8Strict("\xED\xA0\x80").has_value());  // a surrogate
    EXPECT_EQ(AnsiString::fromUtf8Strict("Ñ")->bytes(), "\xD1");
}

TEST(Text, EveryByteSurvivesARoundTrip) {
    for (int b = 1; b < 256; ++b) {
        const AnsiString one(std::string(1, static_cast<char>(b)));
        EXPECT_EQ(AnsiString::fromUtf8Strict(one.toUtf8()), one) << b;
    }
}

TEST(Text, TrimRemovesCodesUpTo32AtBothEnds) {
    struct Case {
        std::string in, out;
    };
    const Case cases[] = {
        {"  abc  ", "abc"}, {"\t\r\n abc \x01\x1F", "abc"}, {"a b", "a b"}, {"    ", ""},
        {"", ""},           {"\xA0x\xA0", "\xA0x\xA0"},  // a no-break space is no control
    };
    for (const Case& c : cases) {
        EXPECT_EQ(trimControl(std::string_view(c.in)), c.out);
        EXPECT_EQ(trimControl(bytes(c.in)).bytes(), c.out);
    }
}

TEST(Text, CaseFoldingCoversAccentedLetters) {
    struct Case {
        std::string a, b;
        bool equal;
    };
    const Case cases[] = {
        {"GARCIA", "garcia", true},
        {"\xC1LVAREZ", "\xE1lvarez", true},  // Á / á
        {"\xD1", "\xF1", true},              // Ñ / ñ
        {"\xC0\xDE", "\xE0\xFE", true},      // the ends of the range
        {"\x8A\x8C\x8E\x9F", "\x9A\x9C\x9E\xFF", true},
        {"\xD7", "\xF7", false},  // × and ÷ are no letters
        {"A", "\xC1", false},     // accents still count
        {"ab", "abc", false},
        {"\xDF", "\xDF", true},  // ß folds to itself
    };
    for (const Case& c : cases) EXPECT_EQ(equalsIgnoreCase(bytes(c.a), bytes(c.b)), c.equal) << c.a;
    EXPECT_EQ(foldCase(bytes("Ma\xD1"
                             "ANA"))
                  .bytes(),
              "ma\xF1"
              "ana");
    EXPECT_EQ(asciiLower("ExPoRtAR\xC1"), "exportar\xC1");
}

TEST(Text, LiteralsAreWindows1252) {
    EXPECT_EQ(literals::kValencia.bytes(), "VALENCI\xC1");
    EXPECT_EQ(literals::kCastellano.bytes(), "CASTELLANO");
}

}  // namespace
}  // namespace formats
