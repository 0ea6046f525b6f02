// Every reader over hostile content: the fuzzing seeds, random bytes, NULs, huge lines and
// tokens, and paths that are not readable files. Each input must be read or rejected with a
// kvsorv::Exception; anything else (another exception, a crash, a hang) is a fault.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "file_test_support.h"
#include "files/driver_file.h"
#include "files/output_file.h"
#include "files/param_file.h"
#include "model/errors.h"
#include "program/global_tables.h"
#include "program/program_files.h"
#include "reader_harness.h"
#include "support/model_fixture.h"
#include "support/scripted_prompter.h"

namespace kvsorv {
namespace {

class ReaderRobustnessTest : public testing::ModelTest {
 protected:
  void ReadWithEveryReader(const std::string& bytes, const std::string& label) {
    const std::string scratch = dir_.Path("scratch");
    EXPECT_NO_THROW(fuzzing::ReadParamFileBytes(scratch, bytes)) << label;
    EXPECT_NO_THROW(fuzzing::ReadDriverFileBytes(scratch, bytes)) << label;
    EXPECT_NO_THROW(fuzzing::ReadOutputFileBytes(scratch, bytes)) << label;
  }

  testing::ScratchDir dir_;
  testing::ScriptedPrompter prompter_;
};

TEST_F(ReaderRobustnessTest, ReplaysTheFuzzingSeeds) {
  for (const char* target : {"param_file", "driver_file", "output_file"}) {
    int seeds = 0;
    const std::string corpus = testing::SourcePath(std::string("fuzz/corpus/") + target);
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
      ReadWithEveryReader(testing::ReadBytes(entry.path().string()), entry.path().string());
      ++seeds;
    }
    EXPECT_GE(seeds, 3) << corpus;
  }
}

TEST_F(ReaderRobustnessTest, HostileContent) {
  const std::string header = "KVS ORV              3.3.6.5d\r\nyear\r\n";
  std::vector<std::pair<std::string, std::string>> inputs = {
      {"empty", ""},
      {"NULs", std::string(1 << 20, '\0')},
      {"one 8 MB line", std::string(8 << 20, 'x')},
      {"one 8 MB line of digits", header + std::string(8 << 20, '7')},
      {"blank lines", std::string(1 << 20, '\n')},
      {"carriage returns", header + std::string(1 << 20, '\r')},
      {"long token", header + std::string(10000, '1')},
      {"out of range", header + "1e999999 -1e400 1e-999999"},
      {"signs", header + "- + . e E -. +e"},
      {"negative zeros", header + "-0 -0 -0 -0 -0 -0 -0 -0 -0 -0\r\n-0 1\r\n"},
      {"huge ramps", header + "0 1e308 1e308 1e308 1e308 1e308 1e308 1e308 1e308 1e308\r\n"
                              "-1e-300 -1e308 -1e308 -1e308 -1e308 -1e308 -1e308 -1e308 "
                              "-1e308 -1e308\r\n"},
      {"truncated in a number", header + "0 1.5E+00"},
  };
  std::mt19937 random(3);
  for (int n = 0; n < 20; ++n) {
    std::string bytes(std::uniform_int_distribution<std::size_t>(0, 100000)(random), '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    inputs.emplace_back("random bytes " + std::to_string(n), bytes);
  }
  for (const auto& [label, bytes] : inputs) ReadWithEveryReader(bytes, label);
}

TEST_F(ReaderRobustnessTest, PathsThatAreNotReadableFiles) {
  const std::string folder = dir_.Path("folder");
  std::filesystem::create_directory(folder);
  for (const std::string& path : {folder, dir_.Path("missing")}) {
    paramarray params;
    statearray states;
    double residual = 0;
    EXPECT_THROW(ReadParamFile(path, 88, params, 19, states, residual), EInOutError);
    FileChannel channel("test");
    EXPECT_THROW(OpenOutputFile(channel, path, Drivers, 19, States, 126, Processes, false),
                 EInOutError);
  }
  // A directory exists, so no box is shown; opening it fails.
  FileChannel channel("test");
  try {
    OpenDriverFile(channel, folder, ModelDef.numdrivers, Drivers, false);
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Message(), "Cannot open file '" + folder + "': it is a directory");
  }
  EXPECT_TRUE(prompter_.messages.empty());
  EXPECT_FALSE(channel.IsOpen());
}

}  // namespace
}  // namespace kvsorv
