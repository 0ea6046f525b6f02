#include "app/cli_outputs.h"

#include <filesystem>
#include <stdexcept>

#include "display/output_table.h"
#include "files/file_identity.h"

namespace kvsorv::cli {

void RefuseInputAsOutput(const std::string& option, const std::vector<std::string>& outputs,
                         const std::vector<std::string>& inputs) {
  for (const std::string& output : outputs)
    for (const std::string& input : inputs)
      if (SameFile(output, input))
        throw std::invalid_argument(option + ": '" + output + "' is the input '" + input +
                                    "' of this command; choose another name");
}

}  // namespace kvsorv::cli

namespace kvsorv::cli {

void RequireRecords(const OutputTable& table, const std::string& fileName) {
  if (table.RowCount() > 0) return;
  std::error_code ignored;
  const bool empty = std::filesystem::file_size(fileName, ignored) == 0;
  throw std::runtime_error("'" + fileName + "': holds no output records (" +
                           (empty ? "the file is empty" : "only its header lines") + ")");
}

}  // namespace kvsorv::cli
