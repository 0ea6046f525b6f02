// Number texts: the fixed file forms, the general forms of the windows, and the parsers.

#include "files/number_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <optional>
#include <random>
#include <string>

#include "model/errors.h"

namespace kvsorv {
namespace {

// The C library's "%.<p>E" (exact, round to nearest) with its exponent rewritten to `digits`
// digits: an independent reference for the scientific forms. The "C" locale is in force in
// the tests, so the point is a point.
std::string ReferenceScientific(double value, int precision, int digits) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*E", precision, value);
  std::string text = buf;
  const auto e = text.find('E');
  std::string exponent = text.substr(e + 2);
  while (static_cast<int>(exponent.size()) < digits) exponent.insert(0, 1, '0');
  return text.substr(0, e + 2) + exponent;
}

std::string Scientific13(double value) {
  char buf[kScientific13MaxLength];
  return std::string(buf, AppendScientific13(buf, value));
}

// Random doubles over the whole range: random bit patterns (finite ones only), plus values
// where a fast path could go wrong: powers of ten and values on or next to a 13-digit
// rounding tie.
std::vector<double> TestValues(int count) {
  std::mt19937_64 random(20240611);
  std::vector<double> values;
  while (static_cast<int>(values.size()) < count) {
    const double x = std::bit_cast<double>(random());
    if (std::isfinite(x)) values.push_back(x);
  }
  // Every power of ten and its neighbours, where the decimal exponent changes.
  for (int p = -323; p <= 308; ++p) {
    const double x = *ParseDecimal("1e" + std::to_string(p));
    values.insert(values.end(), {x, std::nextafter(x, 0.0), std::nextafter(x, 1e308)});
  }
  std::uniform_int_distribution<std::int64_t> mantissa(1'000'000'000'000LL, 9'999'999'999'999LL);
  std::uniform_int_distribution<int> exponent(-300, 300);
  for (int i = 0; i < count; ++i) {
    const std::string tie =
        std::to_string(mantissa(random)) + "5e" + std::to_string(exponent(random));
    const double x = *ParseDecimal(tie);
    values.insert(values.end(), {x, std::nextafter(x, 0.0), std::nextafter(x, 1e308)});
  }
  return values;
}

TEST(NumberText, ParamNumberField) {
  struct Case {
    double value;
    const char* text;
  };
  const Case cases[] = {
      {0.5, " 5.00000000000000E-0001"},
      {0.0, " 0.00000000000000E+0000"},
      {-0.0, " 0.00000000000000E+0000"},
      {-1250.0, "-1.25000000000000E+0003"},
      {1.0 / 3.0, " 3.33333333333333E-0001"},
      {2.0 / 3.0, " 6.66666666666667E-0001"},             // rounded to nearest
      {9.999999999999999e-5, " 1.00000000000000E-0004"},  // carry into the exponent
      {1e-300, " 1.00000000000000E-0300"},
      {std::numeric_limits<double>::max(), " 1.79769313486232E+0308"},
      {std::numeric_limits<double>::denorm_min(), " 4.94065645841247E-0324"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatParamNumber(c.value), c.text) << c.value;
}

TEST(NumberText, ParamNumberFieldMatchesReference) {
  for (const double x : TestValues(20000)) {
    const std::string text = FormatParamNumber(x);
    ASSERT_EQ(text.size(), 23u);
    ASSERT_EQ(text, (x < 0 ? "" : " ") + ReferenceScientific(x, 14, 4)) << x;
  }
}

TEST(NumberText, Scientific13Fields) {
  EXPECT_EQ(FormatScientific13Left(1600.0), "1.600000000000E+003 ");
  EXPECT_EQ(FormatScientific13Left(-1650.0), "-1.650000000000E+003");
  EXPECT_EQ(FormatScientific13Right(1600.0), " 1.600000000000E+003");
  EXPECT_EQ(FormatScientific13Right(-1e-5), "-1.000000000000E-005");
  EXPECT_EQ(FormatScientific13Right(0.0), " 0.000000000000E+000");
  EXPECT_EQ(FormatScientific13Right(-0.0), " 0.000000000000E+000");
  EXPECT_EQ(Scientific13(9.9999999999996e10), "1.000000000000E+011");  // carry
  // Exact ties (representable halves) round to even, as the C library does.
  EXPECT_EQ(Scientific13(1234567890123.5), "1.234567890124E+012");
  EXPECT_EQ(Scientific13(1234567890122.5), "1.234567890122E+012");
  EXPECT_EQ(Scientific13(1e300), "1.000000000000E+300");
  EXPECT_EQ(Scientific13(std::numeric_limits<double>::denorm_min()), "4.940656458412E-324");
  EXPECT_EQ(Scientific13(std::numeric_limits<double>::infinity()), "INF");
  EXPECT_EQ(Scientific13(std::nan("")), "NAN");
}

// The output file's bulk formatting takes a fast path; it must give exactly the correctly
// rounded digits everywhere, ties and near-ties included.
TEST(NumberText, Scientific13MatchesReference) {
  for (const double x : TestValues(200000))
    ASSERT_EQ(Scientific13(x), ReferenceScientific(x, 12, 3)) << std::hexfloat << x;
}

TEST(NumberText, GeneralFormat) {
  struct Case {
    double value;
    int digits;
    const char* text;
  };
  const Case cases[] = {
      {-0.0, 15, "0"},
      {1601.0, 15, "1601"},
      {-1250.25, 15, "-1250.25"},
      {0.00001, 15, "0.00001"},  // fixed down to 1e-5
      {0.000001, 15, "1E-06"},
      {123456789012345.0, 15, "123456789012345"},  // 15 digits before the point
      {1234567890123456.0, 15, "1.23456789012346E+15"},
      {123.456, 4, "123.5"},
      {12345.6, 4, "1.235E+04"},
      {99999.6, 5, "1E+05"},  // rounding decides the form
      {-0.000012345678, 6, "-0.0000123457"},
      {std::numeric_limits<double>::infinity(), 15, "INF"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatGeneral(c.value, c.digits), c.text) << c.value << " /" << c.digits;
}

TEST(NumberText, GeneralFormatOptions) {
  struct Case {
    double value;
    int exponentDigits;
    char separator;
    const char* text;
  };
  const Case cases[] = {
      {1.5e7, 4, '.', "1.5E+0007"},
      {2e-6, 4, '.', "2E-0006"},
      {-7.25e-12, 4, '.', "-7.25E-0012"},
      {1.5e300, 4, '.', "1.5E+0300"},
      {1.5e300, 1, '.', "1.5E+300"},  // a wider exponent keeps its digits
      {2e-6, 1, '.', "2E-6"},
      {2.5, 4, ',', "2,5"},
      {-0.0000123456, 4, ',', "-0,0000123456"},
      {1.5e7, 4, ',', "1,5E+0007"},
      {1200.0, 4, ',', "1200"},  // no separator where none is needed
      {0.0, 4, ',', "0"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatGeneral(c.value, 6, {c.exponentDigits, c.separator}), c.text) << c.value;
}

// Apart from the 1e-5 decade, which this system writes in fixed notation, the general form
// is C's "%.<p>G".
TEST(NumberText, GeneralFormatMatchesReference) {
  for (const double x : TestValues(20000)) {
    if (x == 0 || std::floor(std::log10(std::fabs(x))) == -5) continue;
    for (const int digits : {4, 5, 6, 15}) {
      char buf[64];
      std::snprintf(buf, sizeof buf, "%.*G", digits, x);
      const std::string text = FormatGeneral(x, digits);
      if (text.find('E') == std::string::npos && std::string(buf).find('E') != std::string::npos)
        continue;  // rounded into the 1e-5 decade
      ASSERT_EQ(text, buf) << x << " /" << digits;
    }
  }
}

TEST(NumberText, OutputTime) {
  EXPECT_EQ(FormatOutputTime(1601.0), "                1601");
  EXPECT_EQ(FormatOutputTime(0.5), "                 0.5");
  EXPECT_EQ(FormatOutputTime(0.0), "                   0");
}

TEST(NumberText, EditingTextParsesBackExactly) {
  EXPECT_EQ(FormatForEditing(0.5), "0.5");
  EXPECT_EQ(FormatForEditing(1e-8), "1E-08");
  EXPECT_EQ(FormatForEditing(0.1 + 0.2), "0.30000000000000004");  // 15 and 16 digits fail
  EXPECT_EQ(FormatForEditing(1.0 / 3.0), "0.3333333333333333");   // 16 digits suffice
  for (const double x : TestValues(20000)) {
    const std::string text = FormatForEditing(x);
    ASSERT_EQ(ParseDecimal(text), x) << text;
  }
}

TEST(NumberText, TextFields) {
  EXPECT_EQ(LeftField("Time", 20), "Time                ");
  EXPECT_EQ(RightField("Time", 20), "                Time");
  EXPECT_EQ(LeftField("Decomp Moisture Factor", 20), "Decomp Moisture Fact");
  EXPECT_EQ(RightField("Decomp Moisture Factor", 20), "Decomp Moisture Fact");
  EXPECT_EQ(LeftField("", 3), "   ");
}

TEST(NumberText, ParseDecimalAcceptsDecimalForms) {
  struct Case {
    const char* text;
    double value;
  };
  const Case cases[] = {
      {"0", 0.0},
      {"1600", 1600.0},
      {"-1.650000000000E+003", -1650.0},
      {"+2.5", 2.5},
      {"1.", 1.0},
      {".5", 0.5},
      {"-.5e1", -5.0},
      {"5E-0001", 0.5},
      {"0001", 1.0},
      {"1e-400", 0.0},
      {"4.9e-324", std::numeric_limits<double>::denorm_min()},
      {"1.7976931348623157e308", std::numeric_limits<double>::max()},
      {"0e999999999999999999", 0.0},
  };
  for (const auto& c : cases) {
    const std::optional<double> value = ParseDecimal(c.text);
    ASSERT_TRUE(value.has_value()) << c.text;
    EXPECT_EQ(*value, c.value) << c.text;
  }
  EXPECT_TRUE(std::signbit(*ParseDecimal("-1e-400")));  // underflow keeps the sign
}

TEST(NumberText, ParseDecimalRejectsEverythingElse) {
  for (const char* text : {"",         "+",   "-",    ".",   "e5",       "1e",    "1e+",   "1.5.2",
                           "1,5",      "inf", "-inf", "nan", "infinity", "0x1p3", "0x10",  "1e400",
                           "-1.8e308", "1 ",  " 1",   "1d3", "--1",      "+-1",   "1e5.5", "\x01"})
    EXPECT_FALSE(ParseDecimal(text).has_value()) << text;
}

TEST(NumberText, StrToFloatIsStrict) {
  EXPECT_EQ(StrToFloat(" 2.5 "), 2.5);
  EXPECT_EQ(StrToFloat("1e-2"), 0.01);
  for (const char* text : {"", "  ", "abc", "1.5x", "inf", "1,5"}) {
    try {
      StrToFloat(text);
      ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), "'" + std::string(text) + "' is not a valid floating point value");
    }
  }
}

TEST(NumberText, ParseWithAnotherDecimalSeparator) {
  struct Case {
    const char* text;
    std::optional<double> value;
  };
  const Case cases[] = {
      {"1,5", 1.5},
      {"-,25", -0.25},
      {"5,", 5.0},
      {"1,5E+0007", 1.5e7},
      {"-1e-400", -0.0},  // underflow still gives 0
      {"12", 12.0},
      {"1.5", std::nullopt},  // the point is no separator then
      {"1,5,2", std::nullopt},
      {",", std::nullopt},
      {"1e400", std::nullopt},
      {"1 ", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseDecimal(c.text, ','), c.value) << c.text;
  EXPECT_EQ(StrToFloat(" 2,5\t", ','), 2.5);
  EXPECT_THROW(StrToFloat("2.5", ','), EConvertError);
}

// A locale with a decimal comma changes nothing (when the system has one installed).
TEST(NumberText, IndependentOfLocale) {
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no German locale";
  EXPECT_EQ(FormatGeneral(2.5, 15), "2.5");
  EXPECT_EQ(FormatParamNumber(0.5), " 5.00000000000000E-0001");
  EXPECT_EQ(ParseDecimal("2.5"), 2.5);
  std::setlocale(LC_ALL, previous.c_str());
}

}  // namespace
}  // namespace kvsorv
