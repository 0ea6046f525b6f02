// The observations file laid over an ensemble's envelope.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "files/observations_file.h"

namespace kvsorv {
namespace {

TEST(ObservationsFile, ColumnOfTheOutputIsReadAndBadLinesAreNamed) {
  struct Case {
    const char* what;
    const char* text;
    std::vector<double> times, values;  // read, when no error
    const char* error;                  // part of the message, when refused
  };
  const Case cases[] = {
      {"the output's column, empty cells skipped",
       "time,Cf,NEP\n1600,1,\n1601,2,7\n\n",
       {1601},
       {7},
       nullptr},
      {"two columns: the second, whatever its name",
       "time,obs\r\n1600,3.5\r\n",
       {1600},
       {3.5},
       nullptr},
      {"no time column", "year,NEP\n1600,1\n", {}, {}, "line 1: the header must be"},
      {"no column for the output",
       "time,Cf,Cw\n1600,1,2\n",
       {},
       {},
       "no column 'NEP'; it has Cf, Cw"},
      {"a value that is not a number",
       "time,NEP\n1600,1\n1601,x\n",
       {},
       {},
       "line 3: the value 'x' of NEP is not a number"},
      {"a time that is not a number", "time,NEP\nnan,1\n", {}, {}, "line 2: the time 'nan'"},
      {"a value in hexadecimal",
       "time,NEP\n1600,0x50\n",
       {},
       {},
       "line 2: the value '0x50' of NEP is not a number"},
      {"a short line", "time,Cf,NEP\n1600,1\n", {}, {}, "line 2: 2 cells where the header names 3"},
      {"a quoted header, as R and pandas write it",
       "\xEF\xBB\xBF\"time\",\"NEP\",\"note, free\"\r\n1600,2,\"a\r\nb\"\r\n1601,3,\r\n",
       {1600, 1601},
       {2, 3},
       nullptr},
      {"a short line after a quoted line break",
       "time,NEP,note\n1600,2,\"a\nb\"\n1601,3\n",
       {},
       {},
       "line 4: 2 cells where the header names 3"},
      {"an unterminated quote", "time,NEP\n1600,\"2\n", {}, {}, "line 2: a quote opened"},
  };
  const std::string file =
      (std::filesystem::temp_directory_path() / "observations_test.csv").string();
  for (const Case& c : cases) {
    std::ofstream(file, std::ios::binary) << c.text;
    if (c.error) {
      try {
        ReadObservations(file, "NEP");
        ADD_FAILURE() << c.what << ": not refused";
      } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos)
            << c.what << ": " << e.what();
        EXPECT_EQ(std::string(e.what()).rfind(file, 0), 0u) << c.what << ": " << e.what();
      }
    } else {
      const ObservedPoints p = ReadObservations(file, "NEP");
      EXPECT_EQ(p.times, c.times) << c.what;
      EXPECT_EQ(p.values, c.values) << c.what;
    }
  }
  std::remove(file.c_str());
}

}  // namespace
}  // namespace kvsorv
