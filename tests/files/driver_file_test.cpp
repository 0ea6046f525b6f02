// The driver file: records, steps and ramps, the end of the data, writing, and failures.

#include "files/driver_file.h"
#include "program/program_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "file_test_support.h"
#include "files/number_text.h"
#include "model/errors.h"
#include "program/driver_readers.h"
#include "program/global_tables.h"
#include "support/model_fixture.h"
#include "support/scripted_prompter.h"

namespace kvsorv {
namespace {

using testing::ReadBytes;
using testing::ScratchDir;

const std::string kHeader = "Time CO2 ...\r\nyear ppmv ...\r\n";

// A record line: the time, then driver i holding base x i.
std::string Record(double time, double base) {
  std::string line = FormatGeneral(time, 15);
  for (int i = 1; i <= 9; ++i) line += " " + FormatGeneral(base * i, 15);
  return line + "\r\n";
}

class DriverFileTest : public testing::ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    drivers_ = Drivers;
  }
  void TearDown() override {
    MainDriverChannel.Abandon();
    MainDriverReader.Reset();
    ModelTest::TearDown();
  }

  void Open(const std::string& text) {
    path_ = dir_.Write("drivers.drr", text);
    OpenDriverFile(channel_, path_, ModelDef.numdrivers, Drivers, false);
    reader_.Reset();
  }
  // Looks the drivers up at t; true when driver i holds base x i for every i.
  bool HoldsBase(double t, double base, double stopTime = 100.0) {
    GetDriverValues(channel_, reader_, drivers_, t, stopTime);
    for (int i = 1; i <= ModelDef.numdrivers; ++i)
      if (drivers_[i].value != base * i) return false;
    return true;
  }
  std::vector<double> RecordTimes() {
    std::vector<double> times;
    double time = 0;
    drivearray record;
    while (ReadDriverRecord(channel_, time, ModelDef.numdrivers, record)) times.push_back(time);
    return times;
  }

  ScratchDir dir_;
  testing::ScriptedPrompter prompter_;
  FileChannel channel_{"test driver"};
  DriverReader reader_;
  drivearray drivers_;
  std::string path_;
};

TEST_F(DriverFileTest, StepsHoldUntilTheNextRecordTakesEffect) {
  Open(kHeader + Record(0, 10) + Record(10, 20));
  EXPECT_TRUE(HoldsBase(0, 10));
  EXPECT_TRUE(HoldsBase(5, 10));
  EXPECT_TRUE(HoldsBase(9.999, 10));
  EXPECT_TRUE(HoldsBase(10, 20));
  EXPECT_TRUE(HoldsBase(50, 20));  // after the last record
  EXPECT_EQ(reader_.nextTime, 200.0);
}

TEST_F(DriverFileTest, RampsInterpolateLinearly) {
  Open(kHeader + Record(0, 10) + Record(-10, 20) + Record(20, 40));
  // These fractions of small integers are exact in binary, so the values compare exactly.
  EXPECT_TRUE(HoldsBase(2.5, 12.5));
  EXPECT_TRUE(HoldsBase(5, 15));
  EXPECT_TRUE(HoldsBase(10, 20));
  EXPECT_TRUE(HoldsBase(15, 20));  // the step record after a ramp holds until it is reached
  EXPECT_TRUE(HoldsBase(20, 40));
}

TEST_F(DriverFileTest, LookupBeforeTheFirstRecordGivesTheFirstRecord) {
  Open(kHeader + Record(5, 10) + Record(10, 20));
  EXPECT_TRUE(HoldsBase(0, 10));
  EXPECT_TRUE(HoldsBase(7, 10));
  EXPECT_TRUE(HoldsBase(10, 20));
}

TEST_F(DriverFileTest, AllZeroRecordEndsTheData) {
  const std::string zeros = "0 0 0 0 0 0 0 0 0 0\r\n";
  Open(kHeader + Record(0, 10) + Record(10, 20) + zeros + Record(20, 30));
  EXPECT_EQ(RecordTimes(), (std::vector<double>{0, 10}));
  Open(kHeader + Record(0, 10) + Record(10, 20) + zeros + Record(20, 30));
  EXPECT_TRUE(HoldsBase(30, 20));
}

TEST_F(DriverFileTest, ZeroTimeWithANonZeroValueIsAnOrdinaryRecord) {
  Open(kHeader + "0 0 0 0 0 0 0 0 0 1\r\n" + Record(10, 20));
  EXPECT_EQ(RecordTimes(), (std::vector<double>{0, 10}));
  Open(kHeader + "0 0 0 0 0 0 0 0 0 1\r\n" + Record(10, 20));
  GetDriverValues(channel_, reader_, drivers_, 1, 100);
  EXPECT_EQ(drivers_[1].value, 0.0);
  EXPECT_EQ(drivers_[9].value, 1.0);
}

// Tabs and runs of blanks, a record continued on the next line, words after the last value,
// bare LF line ends and a blank last line, as a file edited by hand on Linux has them.
TEST_F(DriverFileTest, HandEditedFile) {
  path_ = testing::GoldenPath("hand_edited_lf.drr");
  OpenDriverFile(channel_, path_, ModelDef.numdrivers, Drivers, false);
  double time = 0;
  drivearray record;
  ASSERT_TRUE(ReadDriverRecord(channel_, time, ModelDef.numdrivers, record));
  EXPECT_EQ(time, 0.0);
  EXPECT_EQ(record[1].value, 350.0);
  EXPECT_EQ(record[9].value, 1.0);
  ASSERT_TRUE(ReadDriverRecord(channel_, time, ModelDef.numdrivers, record));
  EXPECT_EQ(time, 5.0);
  EXPECT_EQ(record[4].value, 19.0);
  EXPECT_EQ(record[9].value, 1.0);
  ASSERT_TRUE(ReadDriverRecord(channel_, time, ModelDef.numdrivers, record));
  EXPECT_EQ(time, -10.0);
  EXPECT_EQ(record[1].value, 400.0);
  EXPECT_FALSE(ReadDriverRecord(channel_, time, ModelDef.numdrivers, record));
  EXPECT_FALSE(ReadDriverRecord(channel_, time, ModelDef.numdrivers, record));
  EXPECT_EQ(time, -10.0);  // unchanged at the end

  OpenDriverFile(channel_, path_, ModelDef.numdrivers, Drivers, false);
  reader_.Reset();
  GetDriverValues(channel_, reader_, drivers_, 7.5, 100);
  EXPECT_DOUBLE_EQ(drivers_[1].value, 380.0);  // halfway from 360 to 400
}

TEST_F(DriverFileTest, FileWithoutDataLeavesTheReadersNextRecord) {
  for (const std::string& text : {kHeader, kHeader + "0 0 0 0 0 0 0 0 0 0\r\n" + Record(5, 1)}) {
    Open(text);
    for (int i = 1; i <= ModelDef.numdrivers; ++i) {
      reader_.nextRecord[i].value = 3.0;  // as copied in at start-up
      drivers_[i].value = 7.0;
    }
    GetDriverValues(channel_, reader_, drivers_, 0, 100);
    EXPECT_EQ(drivers_[1].value, 3.0);
    EXPECT_EQ(reader_.nextTime, 200.0);
  }
}

// Once the data are exhausted the next time is 2 x stopTime. A lookup at or beyond it must
// end, holding the last record; one before it leaves the table as the caller set it.
TEST_F(DriverFileTest, LookupFarBeyondTheDataEnds) {
  constexpr double kStop = 2.0;
  Open(kHeader + Record(0, 10) + Record(1, 20));
  EXPECT_TRUE(HoldsBase(1, 20, kStop));
  drivers_[6].value = 5.0;  // as a run overrides one driver
  GetDriverValues(channel_, reader_, drivers_, 3, kStop);
  EXPECT_EQ(drivers_[6].value, 5.0);
  EXPECT_TRUE(HoldsBase(4, 20, kStop));
  EXPECT_TRUE(HoldsBase(1e12, 20, kStop));
  EXPECT_EQ(reader_.nextTime, 4.0);
}

TEST_F(DriverFileTest, MissingFile) {
  const std::string missing = dir_.Path("missing.drr");
  EXPECT_FALSE(OpenDriverFile(channel_, missing, ModelDef.numdrivers, Drivers, false));
  EXPECT_TRUE(prompter_.messages.empty());  // the reader tells nobody; the program does
  OpenDriverFileForReading(channel_, missing, ModelDef.numdrivers, Drivers);
  ASSERT_EQ(prompter_.messages.size(), 1u);
  EXPECT_EQ(prompter_.messages[0].kind, MessageKind::kError);
  EXPECT_EQ(prompter_.messages[0].buttons, MessageButtons::kOk);
  EXPECT_EQ(prompter_.messages[0].text, "Cannot read driver file. File does not exist.");
  EXPECT_FALSE(channel_.IsOpen());
  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      GetDriverValues(channel_, reader_, drivers_, 0, 100);
      FAIL() << "no error";
    } catch (const EInOutError& e) {
      EXPECT_EQ(e.GetKind(), EInOutError::Kind::kFileAccess);
      EXPECT_EQ(e.Message(),
                "Cannot read file '" + missing + "': the file is not open for reading");
    }
  }
}

TEST_F(DriverFileTest, UnreadableTextStopsTheReadingAndClosesTheChannel) {
  Open(kHeader + Record(0, 10) + Record(5, 20) + "9 1 2 x 4 5 6 7 8 9\r\n");
  EXPECT_TRUE(HoldsBase(0, 10));
  try {
    GetDriverValues(channel_, reader_, drivers_, 5, 100);
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.GetKind(), EInOutError::Kind::kInvalidNumericInput);
    EXPECT_EQ(e.Message(), "Invalid numeric input in file '" + path_ + "', line 5: 'x'");
  }
  EXPECT_FALSE(channel_.IsOpen());
  EXPECT_EQ(drivers_[1].value, 20.0) << "the record that took effect before the failure stays";
}

TEST_F(DriverFileTest, WritesTheExampleByteForByte) {
  LoadExample();
  const std::string path = dir_.Path("example.drr");
  OpenDriverFile(channel_, path, ModelDef.numdrivers, Drivers, true);
  WriteDriverRecord(channel_, 1600, ModelDef.numdrivers, Drivers);
  drivearray ramp = Drivers;
  for (int i = 1; i <= ModelDef.numdrivers; ++i) ramp[i].value = -ramp[i].value * 1.5 + 0.001;
  WriteDriverRecord(channel_, -1650, ModelDef.numdrivers, ramp);
  CloseDriverFile(channel_);
  EXPECT_EQ(ReadBytes(path), ReadBytes(testing::GoldenPath("example.drr")));
}

// Values come back to 13 significant digits: within 5e-13 relative, plus the double's own
// rounding on reading.
TEST_F(DriverFileTest, WrittenRecordsReadBack) {
  std::mt19937_64 random(11);
  std::uniform_real_distribution<double> value(-1e4, 1e4);
  const std::string path = dir_.Path("round.drr");
  OpenDriverFile(channel_, path, ModelDef.numdrivers, Drivers, true);
  std::vector<drivearray> written;
  for (int r = 0; r < 50; ++r) {
    drivearray record = Drivers;
    for (int i = 1; i <= ModelDef.numdrivers; ++i) record[i].value = value(random);
    WriteDriverRecord(channel_, r + 1, ModelDef.numdrivers, record);
    written.push_back(record);
  }
  CloseDriverFile(channel_);
  for (const bool bareLineFeeds : {false, true}) {
    if (bareLineFeeds) dir_.Write("round.drr", testing::WithBareLineFeeds(ReadBytes(path)));
    OpenDriverFile(channel_, path, ModelDef.numdrivers, Drivers, false);
    double time = 0;
    drivearray record;
    for (int r = 0; r < 50; ++r) {
      ASSERT_TRUE(ReadDriverRecord(channel_, time, ModelDef.numdrivers, record));
      EXPECT_EQ(time, r + 1.0);
      for (int i = 1; i <= ModelDef.numdrivers; ++i) {
        const double expected = written[static_cast<std::size_t>(r)][i].value;
        EXPECT_NEAR(record[i].value, expected, 5.2e-13 * std::fabs(expected));
      }
    }
    EXPECT_FALSE(ReadDriverRecord(channel_, time, ModelDef.numdrivers, record));
    CloseDriverFile(channel_);
  }
}

TEST_F(DriverFileTest, WritingFailures) {
  EXPECT_THROW(WriteDriverRecord(channel_, 0, ModelDef.numdrivers, Drivers), EInOutError);
  const std::string path = dir_.Path("bad.drr");
  OpenDriverFile(channel_, path, ModelDef.numdrivers, Drivers, true);
  drivearray record = Drivers;
  record[3].value = std::numeric_limits<double>::infinity();
  EXPECT_THROW(WriteDriverRecord(channel_, 1, ModelDef.numdrivers, record), EOverflow);
  CloseDriverFile(channel_);
  const std::string written = ReadBytes(path);
  EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 2);  // the header only
  EXPECT_THROW(OpenDriverFile(channel_, dir_.Path("no/dir.drr"), 9, Drivers, true), EInOutError);
  EXPECT_FALSE(channel_.IsOpen());
}

TEST_F(DriverFileTest, LookupAtOneTimeClosesTheMainChannel) {
  const std::string path = dir_.Write("lookup.drr", kHeader + Record(0, 10) + Record(-10, 20));
  LookupDriversAt(path, drivers_, 5, 100);
  EXPECT_EQ(drivers_[2].value, 30.0);
  EXPECT_FALSE(MainDriverChannel.IsOpen());
  LookupDriversAt(path, drivers_, 0, 100);  // the main reader starts afresh
  EXPECT_EQ(drivers_[2].value, 20.0);

  EXPECT_THROW(LookupDriversAt(dir_.Path("missing.drr"), drivers_, 0, 100), EInOutError);
  EXPECT_EQ(prompter_.messages.size(), 1u);
  const std::string bad = dir_.Write("bad.drr", kHeader + "0 1 2 three\r\n");
  EXPECT_THROW(LookupDriversAt(bad, drivers_, 0, 100), EInOutError);
  EXPECT_FALSE(MainDriverChannel.IsOpen());
}

}  // namespace
}  // namespace kvsorv
