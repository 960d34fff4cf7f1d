#include <gtest/gtest.h>
#include <vector>
TEST(Smoke, Vector) { std::vector<int> v{1,2}; EXPECT_EQ(v.size(), 2u); }
