// kvsorv: the desktop program of the simulator.

#include <CLI/CLI.hpp>
#include <QApplication>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli_options.h"
#include "ensemble/results_open.h"
#include "main_window/start_up.h"
#include "program/prompter.h"
#include "windows/common/pictures.h"
#include "windows/common/qt_text.h"
#include "windows/common/widget_prompter.h"
#include "windows/main_window/application_windows.h"
#include "windows/main_window/main_form.h"

namespace {

constexpr const char* kProgram = "kvsorv";
constexpr const char* kDescription =
    "Opens the main window with the given files and times entered as if typed into their\n"
    "fields. Started as modelbatch, sensitivity or montecarlo it runs in that mode.";

// A file or time, taken only when its field could hold it.
void AddField(CLI::App& app, const std::string& name, const std::string& valueName,
              std::optional<std::string>& target, kvsorv::MainField field,
              const std::string& help) {
  kvsorv::cli::AddText(app, name, valueName, target, help)
      ->check(
          [field](const std::string& text) {
            return kvsorv::FieldTextRefusal(field, text).value_or("");
          },
          "");
}

void DeclareOptions(CLI::App& app, kvsorv::StartOptions& o) {
  using kvsorv::MainField;
  app.set_version_flag("--version", std::string(kProgram) + " " + KVSORV_VERSION,
                       "Show the program's version and exit");
  AddField(app, "--params", "FILE", o.params, MainField::kParamBox, "Parameter file");
  AddField(app, "--drivers", "FILE", o.drivers, MainField::kDriverBox, "Driver file");
  AddField(app, "--output", "FILE", o.output, MainField::kOutputBox, "Output file");
  AddField(app, "--start", "N", o.start, MainField::kStartTime,
           "Start time: a whole year of 1 to 5 digits");
  AddField(app, "--stop", "N", o.stop, MainField::kStopTime,
           "Stop time: a whole year of 1 to 5 digits");
  AddField(app, "--step", "X", o.step, MainField::kTimeStep,
           "Time step (years): up to 5 characters");
  kvsorv::cli::AddText(app, "--plan", "FILE", o.plan,
                       "Ensemble plan, opened in the ensemble window");
}

// The arguments left after Qt has taken its own, in the reversed order CLI11 parses.
std::vector<std::string> RemainingArguments() {
  const QStringList arguments = QApplication::arguments();
  std::vector<std::string> words;
  for (qsizetype i = arguments.size() - 1; i >= 1; --i) words.push_back(kvsorv::S(arguments[i]));
  return words;
}

}  // namespace

int main(int argc, char** argv) {
  kvsorv::ensemble::LeaveFailedFilesAtExit();
  // The run mode comes from the name the program was started under (links included).
  const std::string executablePath = argc > 0 ? argv[0] : kProgram;
  CLI::App app(kDescription, kProgram);
  kvsorv::StartOptions options;
  DeclareOptions(app, options);
  for (int i = 1; i < argc; ++i) {  // answered without a display
    const std::string_view word = argv[i];
    if (word == "--help" || word == "-h") return app.exit(CLI::CallForHelp());
    if (word == "--version")
      return app.exit(CLI::CallForVersion(std::string(kProgram) + " " + KVSORV_VERSION, 0));
  }

  QApplication application(argc, argv);
  try {
    app.parse(RemainingArguments());
  } catch (const CLI::ParseError& e) {
    std::cerr << kProgram << ": " << e.what() << "\n\n" << app.help();
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
