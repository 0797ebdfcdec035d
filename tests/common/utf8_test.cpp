#include "common/utf8.h"

#include <gtest/gtest.h>

namespace {

using tarvo::is_valid_utf8;
using tarvo::to_utf8_lossy;
using tarvo::trim_white_space;

TEST(Utf8, AcceptsWellFormedText) {
  EXPECT_TRUE(is_valid_utf8(""));
  EXPECT_TRUE(is_valid_utf8("plain"));
  EXPECT_TRUE(is_valid_utf8("\xC3\xA9"));          // é
  EXPECT_TRUE(is_valid_utf8("\xE2\x80\x8B"));      // U+200B
  EXPECT_TRUE(is_valid_utf8("\xF4\x8F\xBF\xBF"));  // U+10FFFF
}

TEST(Utf8, RefusesMalformedText) {
  EXPECT_FALSE(is_valid_utf8("\xFF"));
  EXPECT_FALSE(is_valid_utf8("caf\xC3"));           // truncated
  EXPECT_FALSE(is_valid_utf8("\xC0\xB5"));          // overlong
  EXPECT_FALSE(is_valid_utf8("\xE0\x80\xAF"));      // overlong
  EXPECT_FALSE(is_valid_utf8("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(is_valid_utf8("\xF4\x90\x80\x80"));  // above U+10FFFF
  EXPECT_FALSE(is_valid_utf8("\x80"));              // lone continuation
}

TEST(Utf8, LossyConversionReplacesEachMaximalInvalidPart) {
  EXPECT_EQ(to_utf8_lossy("sda"), "sda");
  EXPECT_EQ(to_utf8_lossy("a\xFF"
                          "b"),
            "a\xEF\xBF\xBD"
            "b");
  // A truncated three-byte sequence is one replacement, not two.
  EXPECT_EQ(to_utf8_lossy("\xE2\x80z"), "\xEF\xBF\xBDz");
  EXPECT_EQ(to_utf8_lossy("\xED\xA0\x80"),
            "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(Utf8, TrimRemovesWhiteSpaceOfAnyLengthAtBothEnds) {
  EXPECT_EQ(trim_white_space("  42  \n"), "42");
  EXPECT_EQ(trim_white_space("7\r\n"), "7");
  EXPECT_EQ(trim_white_space("\t \x0B\x0C"), "");
  EXPECT_EQ(trim_white_space(""), "");
  // U+00A0, U+3000, U+2028 and U+0085 are several bytes long.
  EXPECT_EQ(trim_white_space("\xC2\xA0"
                             "1024\xE3\x80\x80"),
            "1024");
  EXPECT_EQ(trim_white_space("\xE2\x80\xA8x\xC2\x85"), "x");
}

TEST(Utf8, TrimKeepsInnerWhiteSpaceAndOtherCharacters) {
  EXPECT_EQ(trim_white_space(" 1 2 "), "1 2");
  EXPECT_EQ(trim_white_space("3\r4\n"), "3\r4");
  // U+200B is no White_Space character.
  EXPECT_EQ(trim_white_space("\xE2\x80\x8B"
                             "5 "),
            "\xE2\x80\x8B"
            "5");
  // U+180E lost the property long ago.
  EXPECT_EQ(trim_white_space("\xE1\xA0\x8E"), "\xE1\xA0\x8E");
}

}  // namespace
