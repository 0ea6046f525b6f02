#pragma once
// The one check every command makes before it writes: none of the files it writes is one of
// the files it reads, by whatever name (a link, another spelling of the path).

#include <string>
#include <vector>

namespace kvsorv {
class OutputTable;
}

namespace kvsorv::cli {

// std::invalid_argument "OPTION: 'OUTPUT' is the input 'INPUT' of this command; choose
// another name" when any of `outputs` is the same file as any of `inputs` (empty names aside).
void RefuseInputAsOutput(const std::string& option, const std::vector<std::string>& outputs,
                         const std::vector<std::string>& inputs);

// std::runtime_error "'FILE': holds no output records (...)" for a table read from an output
// file without any: a command would write an empty table or picture as if it had worked.
void RequireRecords(const OutputTable& table, const std::string& fileName);

}  // namespace kvsorv::cli
