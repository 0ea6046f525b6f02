// Numbers as the steady-state window shows them (6 significant digits) and reads them back.

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

#include "steady_state/field_text.h"

namespace kvsorv {
namespace {

TEST(FieldTextTest, ShowsSixSignificantDigitsFixedOrScientific) {
  struct Case {
    double value;
    const char* text;
  };
  const Case cases[] = {
      {0.0, "0"},
      {1200.0, "1200"},
      {-2.5, "-2.5"},
      {0.1 + 0.2, "0.3"},
      {123456.0, "123456"},
      {123456.7, "123457"},
      {1234567.0, "1.23457E+0006"},
      {999999.5, "1E+0006"},  // rounds up to seven digits
      {3.14159265, "3.14159"},
      {0.00001, "0.00001"},
      {0.0000123456, "0.0000123456"},
      {0.0000099999, "9.9999E-0006"},
      {-1e-9, "-1E-0009"},
      {1.5e300, "1.5E+0300"},
      {-7.25e-12, "-7.25E-0012"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatFieldValue(c.value), c.text) << c.value;
  EXPECT_EQ(FormatFieldValue(2.5, ','), "2,5");
  EXPECT_EQ(FormatFieldValue(1.5e7, ','), "1,5E+0007");
}

TEST(FieldTextTest, ReadsNumbersAndRejectsEverythingElse) {
  struct Case {
    const char* text;
    std::optional<double> value;
  };
  const Case cases[] = {
      {"12", 12.0},
      {"  1.5 ", 1.5},
      {"+3", 3.0},
      {"-0.25", -0.25},
      {".5", 0.5},
      {"5.", 5.0},
      {"1e3", 1000.0},
      {"1.5E+0007", 1.5e7},
      {"2E-0006", 2e-6},
      {"1e-999", 0.0},  // underflow gives 0
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"abc", std::nullopt},
      {"12x", std::nullopt},
      {"1.2.3", std::nullopt},
      {"1e", std::nullopt},
      {"e5", std::nullopt},
      {"-", std::nullopt},
      {".", std::nullopt},
      {"1 000", std::nullopt},
      {"1e999", std::nullopt},  // beyond the double range
      {"inf", std::nullopt},
      {"nan", std::nullopt},
      {"0x10", std::nullopt},
      {"1,5", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseFieldNumber(c.text), c.value) << c.text;
  EXPECT_EQ(ParseFieldNumber("1,5", ','), 1.5);
  EXPECT_EQ(ParseFieldNumber("1.5", ','), std::nullopt);
}

TEST(FieldTextTest, EveryShownValueReadsBackToItsSixDigitRounding) {
  // Relative rounding to 6 significant digits is at most half a unit in the sixth digit.
  for (const double v : {1.0 / 3.0, -2.0 / 7.0, 123456.789, 1e-7 / 3.0, 6.02214076e23}) {
    const std::optional<double> back = ParseFieldNumber(FormatFieldValue(v));
    ASSERT_TRUE(back.has_value()) << v;
    EXPECT_LE(std::fabs(*back - v), 5e-6 * std::fabs(v)) << v;
  }
}

TEST(FieldTextTest, CheckValueAcceptsNumbersFromZeroUp) {
  EXPECT_TRUE(CheckValue("0"));
  EXPECT_TRUE(CheckValue("1E-0300"));
  EXPECT_TRUE(CheckValue("-0"));
  EXPECT_FALSE(CheckValue("-1E-0009"));
  EXPECT_FALSE(CheckValue("abc"));
  EXPECT_FALSE(CheckValue(""));
}

}  // namespace
}  // namespace kvsorv
