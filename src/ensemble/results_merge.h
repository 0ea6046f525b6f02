#pragma once
// Joins the results files of the shards of one ensemble into one results file.

#include <string>
#include <vector>

namespace kvsorv::ensemble {

// Writes into `output` every finished member of `inputs`. Every input is checked before
// anything is written: EResultsError naming the file when an input cannot be opened or is not
// a results file, when it is of another plan, size or design method than the first, or when
// two inputs hold a member with other parameters (shards of different designs) or other
// results, naming both files and the member; when the output is one of the inputs (the same
// file under any name); when the output exists and `replace` is false. The output is written
// under another name and renamed into place once whole, so that a failure, or a process
// killed meanwhile, leaves an existing output as it was.
void MergeResults(const std::vector<std::string>& inputs, const std::string& output, bool replace);

}  // namespace kvsorv::ensemble
