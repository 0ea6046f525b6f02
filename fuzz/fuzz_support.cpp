#include "fuzz_support.h"

#include <unistd.h>

#include <filesystem>

#include "program/program_state.h"
#include "program/prompter.h"

namespace kvsorv::fuzzing {

namespace {

// Answers every message with its first button and shows nothing.
class SilentPrompter : public Prompter {
 public:
  Answer Message(MessageKind, MessageButtons buttons, const std::string&) override {
    return buttons == MessageButtons::kOk || buttons == MessageButtons::kOkCancel ? Answer::kOk
                                                                                  : Answer::kYes;
  }
  std::optional<std::string> Input(const std::string&, const std::string&,
                                   const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::string> OpenFile(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<std::string> SaveFile(const FileDialogRequest&) override { return std::nullopt; }
  void Beep() override {}
};

}  // namespace

void PrepareModel() {
  static SilentPrompter silent;
  InstallPrompter(&silent);
  ResetProgramState();
}

std::string ScratchPath(const std::string& extension) {
  return (std::filesystem::temp_directory_path() /
          ("kvsorv-fuzz-" + std::to_string(getpid()) + "." + extension))
      .string();
}

}  // namespace kvsorv::fuzzing
