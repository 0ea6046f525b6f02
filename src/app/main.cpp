// kvsorv: the desktop program of the simulator.

#include <QApplication>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/cli_args.h"
#include "program/prompter.h"
#include "run/start_up.h"
#include "windows/application_windows.h"
#include "windows/main_form.h"
#include "windows/pictures.h"
#include "windows/widget_prompter.h"

namespace {

constexpr const char* kUsage =
    "usage: kvsorv [--params FILE] [--drivers FILE] [--output FILE] [--start N] [--stop N]\n"
    "              [--step X]\n"
    "  Opens the main window with the given files and times entered as if typed into their\n"
    "  fields. Started as modelbatch, sensitivity or montecarlo it runs in that mode.\n";

// The options left after Qt has taken its own.
kvsorv::StartOptions ParseOptions(const QStringList& arguments) {
  std::vector<std::string> words;
  for (const QString& a : arguments) words.push_back(a.toStdString());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  const kvsorv::cli::Options options(static_cast<int>(argv.size()), argv.data(), 1,
                                     {"params", "drivers", "output", "start", "stop", "step"});
  return {options.Get("params"), options.Get("drivers"), options.Get("output"),
          options.Get("start"),  options.Get("stop"),    options.Get("step")};
}

}  // namespace

int main(int argc, char** argv) {
  // The run mode comes from the name the program was started under (links included).
  const std::string executablePath = argc > 0 ? argv[0] : "kvsorv";
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "--help" || word == "-h") {  // answered without a display
      std::cout << kUsage;
      return 0;
    }
  }
  QApplication application(argc, argv);
  const QStringList arguments = QApplication::arguments();
  kvsorv::StartOptions options;
  try {
    options = ParseOptions(arguments);
  } catch (const std::invalid_argument& e) {
    std::cerr << "kvsorv: " << e.what() << "\n\n" << kUsage;
    return 2;
  }

  kvsorv::WidgetPrompter prompter;
  kvsorv::InstallPrompter(&prompter);
  QApplication::setWindowIcon(kvsorv::TreeIcon(32));
  kvsorv::ApplicationWindows windows(executablePath);
  windows.MainForm().show();
  windows.MainForm().ApplyStartOptions(options);
  const int status = QApplication::exec();
  kvsorv::InstallPrompter(nullptr);
  return status;
}
