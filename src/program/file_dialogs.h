#pragma once
// The main window's file dialogs: title, filter, default extension and options of each,
// opened at a given name.

#include <string>

#include "program/prompter.h"

namespace kvsorv {

// "Choose Parameter File": an existing path; a missing file may be created.
FileDialogRequest DlgOpenParam(const std::string& initialName);
// "Save Parameter File": asks before overwriting; a missing file may be created.
FileDialogRequest DlgSaveParam(const std::string& initialName);
// "Open Driver File": the options of DlgOpenParam.
FileDialogRequest DlgOpenDriver(const std::string& initialName);
// "Save Driver File as": asks before overwriting; the path must exist.
FileDialogRequest DlgSaveDriver(const std::string& initialName);
// "Save Output File as": the path must exist; no overwrite question (the command asks).
FileDialogRequest DlgSaveOutput(const std::string& initialName);
// "Open Output File": the file must exist.
FileDialogRequest DlgOpenOutput(const std::string& initialName);

}  // namespace kvsorv
