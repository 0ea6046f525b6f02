// The driver editor's text reads back through the driver reader to the values it shows, and
// the check before saving finds the first line that would not.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "editors/driver_text.h"
#include "editors/driver_text_check.h"
#include "files/driver_series.h"
#include "program/global_tables.h"
#include "support/model_fixture.h"
#include "support/temp_dir.h"

namespace kvsorv {
namespace {

class DriverTextTest : public testing::ModelTest {
 protected:
  testing::TempWorkDir dir;
};

TEST_F(DriverTextTest, SavedTextReadsBackThroughTheDriverReaderToTheSameValues) {
  DriverSeries series;
  series.count = ModelDef.numdrivers;
  series.times = {0, -1850.5};
  // The second record's numbers take 21 to 24 characters, more than their field.
  series.values = {350,
                   21,
                   9,
                   18,
                   1.1,
                   0.8,
                   180,
                   150,
                   1,
                   -1.23456789012345e-300,
                   -2.2250738585072014e-308,
                   0.1 + 0.2,
                   1.7976931348623157e308,
                   4.9406564584124654e-324,
                   -123456789012345.6,
                   1e-5,
                   12345678901234567890.0,
                   1e21};
  const std::string text = DriverText(Drivers, series.count, ModelDef.timeunit, series);
  EXPECT_NE(text.find("\n-1850.5              -1.23456789012345E-300 -2.2250738585072014E-308 "
                      "0.30000000000000004  "),
            std::string::npos);
  EXPECT_EQ(CheckDriverText(text, series.count), std::nullopt);

  WriteDriverText(dir.File("edited.drr"), text + "\n");
  const DriverSeries back = ReadDriverSeries(dir.File("edited.drr"), series.count);
  EXPECT_FALSE(back.failure);
  // Exactly (tolerance 0): each number's text is one that reads back as the same double.
  EXPECT_EQ(back.times, series.times);
  EXPECT_EQ(back.values, series.values);
  EXPECT_EQ(dir.Read("edited.drr").substr(0, 45), "Time                 CO2                  Dai");
}

TEST(DriverTextCheck, FindsTheFirstLineThatDoesNotReadAsWritten) {
  using Kind = DriverTextFault::Kind;
  const std::string header = "Time CO2 x\nyear ppmv y\n";
  const std::string record = "1 2 3 4 5 6 7 8 9 10\n";
  const std::string zeros = "0 0 0 0 0 0 0 0 0 0\n";
  const std::string tooLong(65, '1');
  struct Case {
    const char* what;
    std::string text;
    std::optional<DriverTextFault> fault;
  };
  const Case cases[] = {
      {"whole records; blanks, tabs, blank lines, text after the last value",
       header + record + "\n\t1\t2 3 4 5 6 7 8 9 10 rest\n", std::nullopt},
      {"the header is not read", "a b\n\n" + record, std::nullopt},
      {"a time 0 with a value is a record", header + "0 1 0 0 0 0 0 0 0 0\n" + record,
       std::nullopt},
      {"zeros as the last record", header + record + zeros + "\n", std::nullopt},
      {"not a number", header + record + "1 2 3 x4 5 6 7 8 9 10\n",
       DriverTextFault{.kind = Kind::kNotANumber, .line = 4, .token = "x4"}},
      {"a token longer than the reader takes", header + tooLong + " 2 3 4 5 6 7 8 9 10",
       DriverTextFault{.kind = Kind::kNotANumber, .line = 3, .token = tooLong}},
      {"too few values on the last record", header + record + "1 2 3",
       DriverTextFault{.kind = Kind::kTooFewNumbers, .line = 4, .token = "3", .numbers = 3}},
      {"too few values on a record before another", header + "1 2 3 4 5 6 7 8 9\n" + record,
       DriverTextFault{.kind = Kind::kTooFewNumbers, .line = 3, .token = "9", .numbers = 9}},
      {"zeros end the data before later records", header + zeros + "\n" + record,
       DriverTextFault{.kind = Kind::kDataAfterEnd, .line = 3, .token = {}}},
  };
  for (const Case& c : cases) EXPECT_EQ(CheckDriverText(c.text, 9), c.fault) << c.what;

  const DriverTextFault fault{.kind = Kind::kNotANumber, .line = 4, .token = "x\xB5"};
  EXPECT_EQ(DriverTextFaultMessage(fault, 9),
            "Line 4 of the driver text does not read: 'x\\xB5' is not a number.");
}

}  // namespace
}  // namespace kvsorv
