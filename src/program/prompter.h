#pragma once
// The one channel through which the core asks or tells the user anything: message boxes,
// input boxes, file dialogs and the beep. The desktop program installs a widget-based
// prompter, the command-line tool one that writes to stderr, tests a scripted one.

#include <optional>
#include <string>

namespace kvsorv {

enum class MessageKind { kError, kWarning, kInformation, kConfirmation };
enum class MessageButtons { kOk, kOkCancel, kYesNo, kYesNoCancel };
enum class Answer { kOk, kCancel, kYes, kNo };

// What a file dialog shows: caption, filter as description and pattern pairs separated by
// "|" (e.g. "Parameter files (*.par)|*.par|All files|*.*"), default extension without the
// dot, the name it starts with, and its options.
struct FileDialogRequest {
  std::string title;
  std::string filter;
  std::string defaultExtension;
  std::string initialName;
  bool fileMustExist = false;     // only an existing file can be chosen
  bool confirmOverwrite = false;  // an existing file needs confirmation before it is chosen
  bool pathMustExist = false;     // the chosen file's directory must exist
  bool createPrompt = false;      // a name that does not exist needs confirmation to create it
  bool hideReadOnly = false;      // read-only files are not listed
  bool noReadOnlyReturn = false;  // a read-only file cannot be chosen
};

class Prompter {
 public:
  virtual ~Prompter() = default;
  // Shows a message box and returns the button chosen.
  virtual Answer Message(MessageKind kind, MessageButtons buttons, const std::string& text) = 0;
  // Asks for a line of text; nullopt when cancelled.
  virtual std::optional<std::string> Input(const std::string& caption, const std::string& prompt,
                                           const std::string& initial) = 0;
  // File dialogs; nullopt when cancelled.
  virtual std::optional<std::string> OpenFile(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> SaveFile(const FileDialogRequest& request) = 0;
  virtual void Beep() = 0;
};

// The prompter in use. Until one is installed, a prompter that writes messages to stderr
// and answers every question with its first button (OK or Yes) and every dialog with
// cancel.
Prompter& CurrentPrompter();

// Installs a prompter (not owned; nullptr restores the default) and returns the previous.
Prompter* InstallPrompter(Prompter* prompter);

// A prompter that writes every message's text to stderr, one line each, and answers as the
// default prompter does. Used by the command-line tool.
class StderrPrompter : public Prompter {
 public:
  Answer Message(MessageKind kind, MessageButtons buttons, const std::string& text) override;
  std::optional<std::string> Input(const std::string& caption, const std::string& prompt,
                                   const std::string& initial) override;
  std::optional<std::string> OpenFile(const FileDialogRequest& request) override;
  std::optional<std::string> SaveFile(const FileDialogRequest& request) override;
  void Beep() override;
};

// Text of a message kind: "Error", "Warning", "Information" or "Confirm".
const char* MessageKindName(MessageKind kind);

}  // namespace kvsorv
