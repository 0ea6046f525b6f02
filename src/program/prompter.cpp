#include "program/prompter.h"

#include <iostream>

namespace kvsorv {

namespace {

Prompter* installed = nullptr;

Answer FirstButton(MessageButtons buttons) {
  return buttons == MessageButtons::kOk || buttons == MessageButtons::kOkCancel ? Answer::kOk
                                                                                : Answer::kYes;
}

}  // namespace

const char* MessageKindName(MessageKind kind) {
  switch (kind) {
    case MessageKind::kError:
      return "Error";
    case MessageKind::kWarning:
      return "Warning";
    case MessageKind::kInformation:
      return "Information";
    case MessageKind::kConfirmation:
      return "Confirm";
  }
  return "Message";
}

Answer StderrPrompter::Message(MessageKind, MessageButtons buttons, const std::string& text) {
  std::cerr << text << '\n';
  return FirstButton(buttons);
}

std::optional<std::string> StderrPrompter::Input(const std::string&, const std::string&,
                                                 const std::string&) {
  return std::nullopt;
}

std::optional<std::string> StderrPrompter::OpenFile(const FileDialogRequest&) {
  return std::nullopt;
}

std::optional<std::string> StderrPrompter::SaveFile(const FileDialogRequest&) {
  return std::nullopt;
}

void StderrPrompter::Beep() {}

Prompter& CurrentPrompter() {
  static StderrPrompter fallback;
  return installed != nullptr ? *installed : fallback;
}

Prompter* InstallPrompter(Prompter* prompter) {
  Prompter* previous = installed;
  installed = prompter;
  return previous;
}

}  // namespace kvsorv
