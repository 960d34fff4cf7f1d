#include <windows.h>
#include <gtest/gtest.h>
TEST(Smoke, AnsiCodePageIs932) { EXPECT_EQ(GetACP(), 932u); }
