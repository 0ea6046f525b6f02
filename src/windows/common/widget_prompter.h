#pragma once
// The desktop program's prompter: message boxes, input boxes, file dialogs and the beep as
// widgets, parented to the active window.

#include <QStringList>
#include <optional>
#include <string>

#include "program/prompter.h"

namespace kvsorv {

class WidgetPrompter : public Prompter {
 public:
  Answer Message(MessageKind kind, MessageButtons buttons, const std::string& text) override;
  std::optional<std::string> Input(const std::string& caption, const std::string& prompt,
                                   const std::string& initial) override;
  std::optional<std::string> OpenFile(const FileDialogRequest& request) override;
  std::optional<std::string> SaveFile(const FileDialogRequest& request) override;
  void Beep() override;
};

// A "description|pattern|description|pattern" filter as the file dialog's name filters:
// each description with its patterns in parentheses, "*.*" meaning every file.
QStringList NameFilters(const std::string& filter);

}  // namespace kvsorv
