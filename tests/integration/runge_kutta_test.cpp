#include <gtest/gtest.h>
TEST(Placeholder, Ok) {}
