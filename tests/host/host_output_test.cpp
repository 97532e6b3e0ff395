// How lcdhost writes item texts.
#include <gtest/gtest.h>

#include "host/text_output.h"

namespace {

TEST(EscapeForLine, ShowsControlCharactersAsEscapes) {
    EXPECT_EQ(host::EscapeForLine(u"plain \u00e9"), "plain \xc3\xa9");
    EXPECT_EQ(host::EscapeForLine(u"a\nb\tc"), "a\\nb\\tc");
    EXPECT_EQ(host::EscapeForLine(std::u16string(u"x\0", 2)), "x\\0");
    EXPECT_EQ(host::EscapeForLine(u"GenuineIntel" + std::u16string(238, u'\0')),
              "GenuineIntel\\0*238");
    EXPECT_EQ(host::EscapeForLine(u"\x01"), "\\x01");
    EXPECT_EQ(host::EscapeForLine(u"A\\B"), "A\\B");
}

TEST(JsonString, EscapesWhatJsonRequires) {
    EXPECT_EQ(host::JsonString(u"a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(host::JsonString(std::u16string(u"x\0\n", 3)), "\"x\\u0000\\n\"");
    EXPECT_EQ(host::JsonString(u"\u00e9"), "\"\xc3\xa9\"");
}

}  // namespace
