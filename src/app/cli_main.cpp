// kvsorv-cli: the command-line front end of the simulator.

#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>

#include "model/catalogue.h"
#include "model/catalogue_listing.h"
#include "model/errors.h"

namespace {

constexpr const char* kUsage =
    "usage: kvsorv-cli COMMAND [OPTIONS]\n"
    "\n"
    "commands:\n"
    "  catalogue   list every state, driver, parameter and process with its symbol,\n"
    "              name and units\n"
    "  help        show this text\n";

int RunCatalogue() {
  std::cout << kvsorv::FormatCatalogueListing();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << kUsage;
    return 2;
  }
  const std::string_view command = argv[1];
  try {
    kvsorv::BuildModelCatalogue();
    if (command == "catalogue") return RunCatalogue();
    if (command == "help" || command == "--help" || command == "-h") {
      std::cout << kUsage;
      return 0;
    }
    std::cerr << "kvsorv-cli: unknown command '" << command << "'\n\n" << kUsage;
    return 2;
  } catch (const kvsorv::Exception& e) {
    std::cerr << e.Message() << '\n';
    return 1;
  }
}
