#pragma once
// Set-up for the main window's commands: the catalogue, default run settings in interactive
// mode, a fresh working directory with the example site's files, a scripted prompter and a
// fake main window.

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "fake_main_view.h"
#include "files/driver_file.h"
#include "program/global_tables.h"
#include "program/run_modes.h"
#include "program/run_settings.h"
#include "support/model_fixture.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"

namespace kvsorv::testing {

// The scripted prompter, also keeping the default text of every input box.
class InputRecordingPrompter : public ScriptedPrompter {
 public:
  std::optional<std::string> Input(const std::string& caption, const std::string& prompt,
                                   const std::string& initial) override {
    inputDefaults.push_back(initial);
    return ScriptedPrompter::Input(caption, prompt, initial);
  }
  std::vector<std::string> inputDefaults;
};

class MainWindowTest : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    RunModes.InteractiveMode = true;
  }

  // Copies a file of the example site into the working directory; returns its path there.
  std::string Example(const std::string& name) { return dir.CopyExample(name); }

  // Types a text into a field and leaves it with the given command.
  template <typename Leave>
  void Type(MainField field, const std::string& text, Leave leave) {
    view.EnterFieldText(field, text);
    leave(view);
  }

  TempWorkDir dir;
  InputRecordingPrompter prompter;
  FakeMainView view;
};

}  // namespace kvsorv::testing
