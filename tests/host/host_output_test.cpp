// How lcdhost writes item texts.
#include <gtest/gtest.h>

#include "host/cli/text_output.h"
#include "host/plugins/status_text.h"

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
    // The bytes lcdhost has always written where nlohmann's own escapes differ.
    EXPECT_EQ(host::JsonString(u"a\bb\fc\x7f\x01/\r\t"),
              "\"a\\u0008b\\u000cc\\u007f\\u0001/\\r\\t\"");
    EXPECT_EQ(host::JsonString(u"\xd800x"), "\"\xef\xbf\xbdx\"");
    EXPECT_EQ(host::JsonString(u""), "\"\"");
}

TEST(StatusText, NamesTheStatusBeforeItsCode) {
    EXPECT_EQ(host::StatusWords(static_cast<HRESULT>(0x800A005E)), "invalid use of null");
    EXPECT_EQ(host::StatusWords(static_cast<HRESULT>(0x800A000B)), "division by zero");
    EXPECT_EQ(host::StatusWords(REGDB_E_CLASSNOTREG), "class not registered");
    EXPECT_EQ(host::StatusWords(static_cast<HRESULT>(0x800401F0)),
              "CoInitialize has not been called");
    EXPECT_EQ(host::StatusWords(E_OUTOFMEMORY), "out of memory");
    EXPECT_EQ(host::StatusWords(static_cast<HRESULT>(0x80041234)), "");
    // The run-time errors have no system message on any platform.
    EXPECT_EQ(host::StatusText(static_cast<HRESULT>(0x800A005E)),
              "invalid use of null (0x800A005E)");
    EXPECT_EQ(host::StatusText(static_cast<HRESULT>(0x80041234)), "0x80041234");
#if !defined(_WIN32)
    EXPECT_EQ(host::StatusText(REGDB_E_CLASSNOTREG), "class not registered (0x80040154)");
#endif
    EXPECT_EQ(host::StatusCode(E_FAIL), "0x80004005");
}

}  // namespace
