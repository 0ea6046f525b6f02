#include "app/cli_outputs.h"

#include <stdexcept>

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
