#pragma once
// Runs the file readers over arbitrary bytes, the way the program uses them. Shared by the
// fuzz targets and by the test that replays their seed corpus.

#include <string>
#include <string_view>

namespace kvsorv::fuzzing {

// Each writes `bytes` to `scratchPath` and reads that file with one reader, using the
// catalogue in ModelDef. A file the reader rejects (a kvsorv::Exception) counts as handled;
// any other exception propagates, and a crash, hang or leak is a finding.

// ReadParamValues into full-size tables.
void ReadParamFileBytes(const std::string& scratchPath, std::string_view bytes);

// Every record with ReadDriverRecord, then lookups with GetDriverValues at increasing
// times, the last ones far beyond twice the stop time.
void ReadDriverFileBytes(const std::string& scratchPath, std::string_view bytes);

// Every line with ReadOutputLine into full-size tables.
void ReadOutputFileBytes(const std::string& scratchPath, std::string_view bytes);

}  // namespace kvsorv::fuzzing
