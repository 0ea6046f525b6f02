// The output file: exact layout, reading back, and lines that are short, blank or bad.

#include "files/output_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "file_test_support.h"
#include "model/errors.h"
#include "program/global_tables.h"
#include "support/model_fixture.h"

namespace kvsorv {
namespace {

using testing::ReadBytes;
using testing::ScratchDir;

class OutputFileTest : public testing::ModelTest {
 protected:
  void OpenForReading(const std::string& path) {
    OpenOutputFile(channel_, path, Drivers, ModelDef.numstate, States, ModelDef.numprocess,
                   Processes, false);
  }
  // Reads the next line into the copies; false at the end.
  bool ReadLine() {
    return ReadOutputLine(channel_, time_, drivers_, ModelDef.numstate, states_,
                          ModelDef.numprocess, processes_);
  }
  int CountLines(const std::string& path) {
    OpenForReading(path);
    int lines = 0;
    while (ReadLine()) ++lines;
    CloseOutputFile(channel_);
    return lines;
  }
  // A file with the two header lines of the catalogue and the given data text.
  std::string WithHeader(const std::string& data) {
    const std::string path = dir_.Path("header.out");
    OpenOutputFile(channel_, path, Drivers, ModelDef.numstate, States, ModelDef.numprocess,
                   Processes, true);
    CloseOutputFile(channel_);
    return dir_.Write("data.out", ReadBytes(path) + data);
  }

  ScratchDir dir_;
  FileChannel channel_{"test output"};
  double time_ = -1;
  drivearray drivers_;
  statearray states_;
  processarray processes_;
};

TEST_F(OutputFileTest, WritesTheSmallExampleByteForByte) {
  LoadExample();
  for (int i = 1; i <= 5; ++i) Processes[i].value = (i % 2 != 0 ? 1 : -1) * 12.5 * i * i * 1e-3;
  Processes[1].value = 0;
  const std::string path = dir_.Path("small.out");
  OpenOutputFile(channel_, path, Drivers, 2, States, 3, Processes, true);
  WriteOutputLine(channel_, Drivers, 2, States, 3, Processes, 0.0);
  WriteOutputLine(channel_, Drivers, 2, States, 3, Processes, 1601);
  States[1].value = 1.0 / 3;
  States[2].value = -2.0 / 3e7;
  WriteOutputLine(channel_, Drivers, 2, States, 3, Processes, 1601.5);
  CloseOutputFile(channel_);
  EXPECT_EQ(ReadBytes(path), ReadBytes(testing::GoldenPath("small.out")));
}

// A full line of the catalogue: 155 columns of 21 characters. Values come back to 13
// significant digits (within 5e-13 relative, plus the double's own rounding); times exactly.
TEST_F(OutputFileTest, FullLinesReadBack) {
  LoadExample();
  std::mt19937_64 random(5);
  std::uniform_real_distribution<double> mantissa(-10, 10);
  std::uniform_int_distribution<int> exponent(-30, 30);
  for (int i = 1; i <= ModelDef.numprocess; ++i)
    Processes[i].value = mantissa(random) * std::pow(10.0, exponent(random));
  const std::string path = dir_.Path("full.out");
  OpenOutputFile(channel_, path, Drivers, ModelDef.numstate, States, ModelDef.numprocess, Processes,
                 true);
  const double times[] = {0, 0.5, 1601, 1e-7};
  for (const double t : times)
    WriteOutputLine(channel_, Drivers, ModelDef.numstate, States, ModelDef.numprocess, Processes,
                    t);
  CloseOutputFile(channel_);

  const std::string text = ReadBytes(path);
  const auto firstEnd = text.find("\r\n");
  EXPECT_EQ(firstEnd, 155u * 21u);
  EXPECT_EQ(text.size(), 6u * (155u * 21u + 2u));
  // Names longer than 20 characters are cut in the header.
  EXPECT_NE(text.substr(0, firstEnd).find("Decomp Moisture Fact "), std::string::npos);

  for (const std::string& variant : {text, testing::WithBareLineFeeds(text)}) {
    OpenForReading(dir_.Write("variant.out", variant));
    for (const double t : times) {
      ASSERT_TRUE(ReadLine());
      EXPECT_EQ(time_, t);
      for (int i = 1; i <= ModelDef.numdrivers; ++i) EXPECT_EQ(drivers_[i].value, Drivers[i].value);
      for (int i = 1; i <= ModelDef.numstate; ++i) EXPECT_EQ(states_[i].value, States[i].value);
      for (int i = 1; i <= ModelDef.numprocess; ++i)
        EXPECT_NEAR(processes_[i].value, Processes[i].value,
                    5.2e-13 * std::fabs(Processes[i].value));
    }
    EXPECT_FALSE(ReadLine());
    CloseOutputFile(channel_);
  }
}

TEST_F(OutputFileTest, LineCounts) {
  struct Case {
    const char* data;
    int lines;
  };
  const Case cases[] = {
      {"", 0},                          // the two header lines only
      {"1 2 3\r\n", 1},                 // a short line: the rest reads as 0
      {"1 2 3\r\n\r\n   \r\n\t\n", 1},  // blank lines at the end add nothing
      {"1\r\n2\r\n", 1},                // the second number continues the first line
      {"1 2 3", 1},                     // no line end at the end of the file
  };
  for (const auto& c : cases) EXPECT_EQ(CountLines(WithHeader(c.data)), c.lines) << c.data;
}

TEST_F(OutputFileTest, ShortLineTakesNumbersFromTheNextLine) {
  OpenForReading(WithHeader("1 2 3\r\n4 5\r\n"));
  ASSERT_TRUE(ReadLine());
  EXPECT_EQ(time_, 1.0);
  EXPECT_EQ(drivers_[1].value, 2.0);
  EXPECT_EQ(drivers_[2].value, 3.0);
  EXPECT_EQ(drivers_[3].value, 4.0);
  EXPECT_EQ(drivers_[4].value, 5.0);
  EXPECT_EQ(processes_[ModelDef.numprocess].value, 0.0);
  EXPECT_FALSE(ReadLine());
}

TEST_F(OutputFileTest, TextThatIsNotANumberStopsTheReading) {
  OpenForReading(dir_.Write("bad.out", "a\r\nb\r\n1 2 six 4\r\n"));
  try {
    ReadLine();
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.GetKind(), EInOutError::Kind::kInvalidNumericInput);
    EXPECT_EQ(e.Message(),
              "Invalid numeric input in file '" + dir_.Path("bad.out") + "', line 3: 'six'");
  }
  EXPECT_FALSE(channel_.IsOpen());
  EXPECT_EQ(drivers_[1].value, 2.0);  // stored before the failure
}

TEST_F(OutputFileTest, FilesThatCannotBeOpenedOrWritten) {
  for (const std::string& path : {dir_.Path("missing.out"), dir_.Path("")}) {
    try {
      OpenForReading(path);
      ADD_FAILURE() << "no error for " << path;
    } catch (const EInOutError& e) {
      EXPECT_EQ(e.GetKind(), EInOutError::Kind::kFileAccess);
      EXPECT_NE(e.Message().find(path), std::string::npos);
    }
    EXPECT_FALSE(channel_.IsOpen());
  }
  EXPECT_THROW(ReadLine(), EInOutError);
  EXPECT_THROW(WriteOutputLine(channel_, Drivers, 0, States, 0, Processes, 0), EInOutError);

  const std::string path = dir_.Path("nan.out");
  OpenOutputFile(channel_, path, Drivers, 1, States, 1, Processes, true);
  Processes[1].value = std::numeric_limits<double>::quiet_NaN();
  EXPECT_THROW(WriteOutputLine(channel_, Drivers, 1, States, 1, Processes, 0), EInvalidOp);
  CloseOutputFile(channel_);
  EXPECT_EQ(CountLines(path), 0);
}

}  // namespace
}  // namespace kvsorv
