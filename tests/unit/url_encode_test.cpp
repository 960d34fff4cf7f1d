#include "search/url_encode.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace lumenvik {
namespace {

std::string byteText(int byte) { return std::string(1, static_cast<char>(byte)); }

std::string escaped(int byte) {
    char text[4];
    std::snprintf(text, sizeof text, "%%%02x", byte);
    return text;
}

TEST(UrlEncode, EveryByteByClass) {
    int kept = 0, plus = 0, escapedCount = 0;
    for (int byte = 0; byte < 256; ++byte) {
        const bool letter = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
        const bool digit = byte >= '0' && byte <= '9';
        std::string want;
        if (byte == 0x20) {
            want = "+";
            ++plus;
        } else if (letter || digit) {
            want = byteText(byte);
            ++kept;
        } else {
            want = escaped(byte);
            ++escapedCount;
        }
        EXPECT_EQ(urlEncode(byteText(byte)), want) << "byte 0x" << std::hex << byte;
    }
    EXPECT_EQ(kept, 62);
    EXPECT_EQ(plus, 1);
    EXPECT_EQ(escapedCount, 193);
}

TEST(UrlEncode, TabledBytes) {
    const struct {
        int byte;
        const char* out;
    } cases[] = {
        {0x20, "+"},   {0x41, "A"},   {0x7A, "z"},   {0x35, "5"},   {0x2B, "%2b"},
        {0x25, "%25"}, {0x26, "%26"}, {0x3D, "%3d"}, {0x2D, "%2d"}, {0x2E, "%2e"},
        {0x5F, "%5f"}, {0x7E, "%7e"}, {0x2A, "%2a"}, {0x5B, "%5b"}, {0x5D, "%5d"},
        {0x09, "%09"}, {0xE3, "%e3"}, {0x00, "%00"}, {0xFF, "%ff"}, {0x7F, "%7f"},
    };
    for (const auto& c : cases) EXPECT_EQ(urlEncode(byteText(c.byte)), c.out) << c.byte;
}

TEST(UrlEncode, Texts) {
    EXPECT_EQ(urlEncode(""), "");
    EXPECT_EQ(urlEncode("1+1=2"), "1%2b1%3d2");
    EXPECT_EQ(urlEncode("a b"), "a+b");
    EXPECT_EQ(urlEncode("a-b.c"), "a%2db%2ec");
    EXPECT_EQ(urlEncode("   "), "+++");
    EXPECT_EQ(urlEncode("\xe6\x97\xa5\xe6\x9c\xac"), "%e6%97%a5%e6%9c%ac");
    EXPECT_EQ(urlEncode("\xc6\xfc\xcb\xdc"), "%c6%fc%cb%dc");
    EXPECT_EQ(urlEncode(std::string("a\0b", 3)), "a%00b");
    for (const char* fixed : {"ja", "ej", "je", "all", "0"}) EXPECT_EQ(urlEncode(fixed), fixed);
}

}  // namespace
}  // namespace lumenvik
