// The parameter file: exact layout, header check, reading by position, and failures.

#include "files/param_file.h"
#include "program/program_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>
#include <random>
#include <string>

#include "file_test_support.h"
#include "files/driver_series.h"
#include "model/errors.h"
#include "program/global_tables.h"
#include "program/run_settings.h"
#include "support/model_fixture.h"
#include "support/scripted_prompter.h"

namespace kvsorv {
namespace {

using testing::ReadBytes;
using testing::ScratchDir;

constexpr const char* kIncompatible =
    "The parameter file selected is not compatible with this model. No parameters read.";

class ParamFileTest : public testing::ModelTest {
 protected:
  // Reads the file into the global tables.
  bool Read(const std::string& path) {
    return ReadParamFile(path, ModelDef.numparam, Params, ModelDef.numstate, States, residual_);
  }
  void Write(const std::string& path) {
    WriteParamFile(path, ModelDef.numparam, Params, 0.0, States, ModelDef.numstate);
  }
  // The example file with its first line replaced.
  std::string WithHeader(const std::string& header) {
    const std::string golden = ReadBytes(testing::GoldenPath("example.par"));
    return header + golden.substr(golden.find("\r\n"));
  }

  ScratchDir dir_;
  testing::ScriptedPrompter prompter_;
  double residual_ = -1.0;
};

TEST_F(ParamFileTest, WritesTheExampleByteForByte) {
  LoadExample();
  const std::string path = dir_.Path("example.par");
  Write(path);
  EXPECT_EQ(ReadBytes(path), ReadBytes(testing::GoldenPath("example.par")));
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

TEST_F(ParamFileTest, ReadsTheExampleBack) {
  ASSERT_TRUE(Read(testing::GoldenPath("example.par")));
  statearray states;
  paramarray params;
  testing::FillExampleStates(states);
  testing::FillExampleParams(params);
  for (int i = 1; i <= ModelDef.numstate; ++i) EXPECT_EQ(States[i].value, states[i].value) << i;
  for (int i = 1; i <= ModelDef.numparam; ++i) EXPECT_EQ(Params[i].value, params[i].value) << i;
  EXPECT_EQ(residual_, 0.0);
  EXPECT_TRUE(prompter_.messages.empty());
}

TEST_F(ParamFileTest, BareLineFeedsReadTheSame) {
  const std::string path = dir_.Write(
      "lf.par", testing::WithBareLineFeeds(ReadBytes(testing::GoldenPath("example.par"))));
  ASSERT_TRUE(Read(path));
  EXPECT_EQ(testing::StateValue(States, "Ch"), 8667.5958);
  EXPECT_EQ(testing::ParamValue(Params, "z"), 0.3);
}

// Every value comes back rounded to 15 significant digits: half a unit in the 15th digit is at
// most 5e-15 of the value, and converting back to a double adds at most 1.2e-16.
TEST_F(ParamFileTest, RoundTripKeepsFifteenDigits) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
  std::uniform_int_distribution<int> exponent(-300, 300);
  statearray states = States;
  paramarray params = Params;
  for (int i = 1; i <= ModelDef.numstate; ++i)
    states[i].value = mantissa(random) * std::pow(10.0, exponent(random));
  for (int i = 1; i <= ModelDef.numparam; ++i)
    params[i].value = mantissa(random) * std::pow(10.0, exponent(random));
  States = states;
  Params = params;
  const std::string path = dir_.Path("random.par");
  Write(path);
  States = statearray{};
  Params = paramarray{};
  ASSERT_TRUE(Read(path));
  for (int i = 1; i <= ModelDef.numstate; ++i)
    EXPECT_NEAR(States[i].value, states[i].value, 5.2e-15 * std::fabs(states[i].value));
  for (int i = 1; i <= ModelDef.numparam; ++i)
    EXPECT_NEAR(Params[i].value, params[i].value, 5.2e-15 * std::fabs(params[i].value));
}

TEST_F(ParamFileTest, HeaderCheck) {
  struct Case {
    const char* header;
    bool accepted;
  };
  const Case cases[] = {
      {"KVS ORV              3.3.6.5d            ", true},
      {"kvsorv               3.3.6.5d", true},  // other case and spacing in 21 characters
      {"  K V S  o r v       3.3.6.5d", true},
      {"KVS ORV              3.3.6.5d saved by hand", true},  // text after a space is ignored
      {"KVS ORV              3.3.6.5e            ", false},   // another version
      {"KVS ORV              3.3.6.5D            ", false},   // version letter case counts
      {"KVS ORV              ", false},                       // no version
      {"KVS ORV 3.3.6.5d", false},                            // version inside the name field
      {"OTHER MODEL          3.3.6.5d            ", false},
      {"", false},
  };
  for (const auto& c : cases) {
    for (auto& state : States) state.value = 0.0;
    prompter_.messages.clear();
    residual_ = -1.0;
    const bool accepted = Read(dir_.Write("header.par", WithHeader(c.header)));
    EXPECT_EQ(accepted, c.accepted) << c.header;
    if (c.accepted) {
      EXPECT_TRUE(prompter_.messages.empty());
      EXPECT_EQ(testing::StateValue(States, "Cf"), 200.0);
    } else {
      ASSERT_EQ(prompter_.messages.size(), 1u) << c.header;
      EXPECT_EQ(prompter_.messages[0].kind, MessageKind::kError);
      EXPECT_EQ(prompter_.messages[0].buttons, MessageButtons::kOk);
      EXPECT_EQ(prompter_.messages[0].text, kIncompatible);
      EXPECT_EQ(testing::StateValue(States, "Cf"), 0.0);  // nothing read
      EXPECT_EQ(residual_, -1.0);
    }
  }
}

TEST_F(ParamFileTest, LinesAreTiedToQuantitiesByPositionOnly) {
  std::string text = "KVS ORV              3.3.6.5d\r\n";
  text += "Wrong Name Entirely  1.5E+0000 whatever units\r\n";  // state 1
  text += "x\r\n";                                              // short line: no value here
  text += "7 units of state 2\r\n";                             // so state 2 is 7
  text += "Third                3\r\n";
  const std::string path = dir_.Write("order.par", text);
  ASSERT_TRUE(Read(path));
  EXPECT_EQ(States[1].value, 1.5);
  EXPECT_EQ(States[2].value, 7.0);
  EXPECT_EQ(States[3].value, 3.0);
  // The file ends early: everything after reads as 0.
  for (int i = 4; i <= ModelDef.numstate; ++i) EXPECT_EQ(States[i].value, 0.0) << i;
  for (int i = 1; i <= ModelDef.numparam; ++i) EXPECT_EQ(Params[i].value, 0.0) << i;
  EXPECT_EQ(residual_, 0.0);
}

TEST_F(ParamFileTest, WordWhereANumberBelongsStopsTheReading) {
  LoadExample();
  std::string text = ReadBytes(testing::GoldenPath("example.par"));
  // The value of state 3 (line 4) becomes a word; states 1 and 2 are already stored.
  const auto line4 = text.find("Root Carbon");
  text.replace(line4 + 20, 23, "     not-a-number      ");
  const std::string path = dir_.Write("word.par", text);
  States = statearray{};
  try {
    Read(path);
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.GetKind(), EInOutError::Kind::kInvalidNumericInput);
    EXPECT_EQ(e.Message(), "Invalid numeric input in file '" + path + "', line 4: 'not-a-number'");
  }
  EXPECT_EQ(States[1].value, 200.0);
  EXPECT_EQ(States[2].value, 10000.0);
  EXPECT_EQ(States[3].value, 0.0);
}

TEST_F(ParamFileTest, FilesThatCannotBeOpened) {
  LoadExample();
  const statearray before = States;
  for (const std::string& path : {dir_.Path("missing.par"), dir_.Path("")}) {
    try {
      Read(path);
      ADD_FAILURE() << "no error for " << path;
    } catch (const EInOutError& e) {
      EXPECT_EQ(e.GetKind(), EInOutError::Kind::kFileAccess);
      EXPECT_NE(e.Message().find(path), std::string::npos) << e.Message();
    }
  }
  EXPECT_EQ(States, before);
}

TEST_F(ParamFileTest, FailedWriteKeepsThePreviousFile) {
  LoadExample();
  const std::string path = dir_.Path("kept.par");
  Write(path);
  const std::string previous = ReadBytes(path);

  testing::ParamValue(Params, "z") = std::numeric_limits<double>::quiet_NaN();
  EXPECT_THROW(Write(path), EInvalidOp);
  testing::ParamValue(Params, "z") = std::numeric_limits<double>::infinity();
  EXPECT_THROW(Write(path), EOverflow);
  EXPECT_EQ(ReadBytes(path), previous);

  // The temporary file cannot be created: the message names the file asked for.
  testing::ParamValue(Params, "z") = 0.5;
  std::filesystem::create_directory(path + ".tmp");
  try {
    Write(path);
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.GetKind(), EInOutError::Kind::kFileAccess);
    EXPECT_EQ(e.Message().rfind("Cannot write file '" + path + "': ", 0), 0u) << e.Message();
  }
  EXPECT_EQ(ReadBytes(path), previous);
  std::filesystem::remove(path + ".tmp");

  // A successful write replaces the file and leaves no temporary file behind.
  Write(path);
  EXPECT_NE(ReadBytes(path), previous);
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

TEST_F(ParamFileTest, WritingThroughALinkKeepsTheLink) {
  LoadExample();
  const std::string real = dir_.Write("real.par", "old");
  const std::string link = dir_.Path("link.par");
  std::filesystem::create_symlink(real, link);
  Write(link);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadBytes(real), ReadBytes(testing::GoldenPath("example.par")));
}

TEST_F(ParamFileTest, WriteProtectedFileIsNotReplaced) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  const std::string path = dir_.Write("protected.par", "old");
  std::filesystem::permissions(path, std::filesystem::perms::owner_read);
  EXPECT_THROW(Write(path), EInOutError);
  EXPECT_EQ(ReadBytes(path), "old");
}

TEST_F(ParamFileTest, DirectoryAsTargetIsAnError) {
  const std::string path = dir_.Path("folder.par");
  std::filesystem::create_directory(path);
  try {
    Write(path);
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.GetKind(), EInOutError::Kind::kFileAccess);
    EXPECT_NE(e.Message().find(path), std::string::npos);
  }
  EXPECT_TRUE(std::filesystem::is_directory(path));
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

}  // namespace
}  // namespace kvsorv

namespace kvsorv {
namespace {

TEST_F(ParamFileTest, ProgramRead_ClearsTheModifiedFlagWhateverFollows) {
  const std::string good = dir_.Path("good.par");
  Write(good);
  const std::string other = dir_.Write("other.par", WithHeader("OTHER MODEL          1.0"));
  struct Case {
    std::string what;
    std::function<void()> act;
  };
  const Case reads[] = {
      {"accepted", [&] { EXPECT_TRUE(Read(good)); }},
      {"rejected", [&] { EXPECT_FALSE(Read(other)); }},
      {"missing", [&] { EXPECT_THROW(Read(dir_.Path("missing.par")), EInOutError); }},
  };
  for (const auto& c : reads) {
    RunSettings.ParamsModified = true;
    c.act();
    EXPECT_FALSE(RunSettings.ParamsModified) << c.what;
  }
  RunSettings.ParamsModified = false;
}

// The plain readers behind ensembles and runs only read, and the writer only writes: no flag,
// no message box.
TEST_F(ParamFileTest, PlainReadersAndTheWriter_ChangeNoFlagAndShowNothing) {
  const std::string good = dir_.Path("good.par");
  Write(good);
  const std::string other = dir_.Write("other.par", WithHeader("OTHER MODEL          1.0"));
  paramarray params = Params;
  statearray states = States;
  struct Case {
    std::string what;
    std::function<void()> act;
  };
  const Case reads[] = {
      {"accepted",
       [&] {
         EXPECT_TRUE(ReadParamValues(good, ModelDef.numparam, params, ModelDef.numstate, states,
                                     residual_));
       }},
      {"rejected",
       [&] {
         EXPECT_FALSE(ReadParamValues(other, ModelDef.numparam, params, ModelDef.numstate, states,
                                      residual_));
       }},
      {"written", [&] { Write(dir_.Path("new.par")); }},
      {"missing driver file",
       [&] {
         const DriverSeries series = ReadDriverSeries(dir_.Path("cell9.drr"), ModelDef.numdrivers);
         EXPECT_TRUE(series.fileMissing);
         EXPECT_TRUE(series.failure);
       }},
  };
  for (const bool modified : {true, false})
    for (const auto& c : reads) {
      RunSettings.ParamsModified = modified;
      c.act();
      EXPECT_EQ(RunSettings.ParamsModified, modified) << c.what;
      EXPECT_TRUE(prompter_.messages.empty()) << c.what;
    }
}

}  // namespace
}  // namespace kvsorv

namespace kvsorv {
namespace {

// A device or named pipe is written through; only a regular file is replaced.
TEST_F(ParamFileTest, DeviceIsWrittenThroughAndItsErrorsReported) {
  if (!std::filesystem::is_character_file("/dev/full")) GTEST_SKIP() << "no /dev/full";
  LoadExample();
  Write("/dev/null");
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
  try {
    Write("/dev/full");
    ADD_FAILURE() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Message(), "Cannot write file '/dev/full': No space left on device");
  }
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
  EXPECT_FALSE(std::filesystem::exists("/dev/full.tmp"));
}

}  // namespace
}  // namespace kvsorv
