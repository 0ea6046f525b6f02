#include "program/file_dialogs.h"

namespace kvsorv {

namespace {

constexpr const char* kOutputFilter = "Output Files (*.out)|*.out|All Files (*.*)|*.*";

FileDialogRequest Request(const char* title, const char* filter, const char* extension,
                          const std::string& initialName) {
  FileDialogRequest r;
  r.title = title;
  r.filter = filter;
  r.defaultExtension = extension;
  r.initialName = initialName;
  return r;
}

// Opening a parameter or driver file: the name may be new, and is then created.
FileDialogRequest OpenOrCreate(FileDialogRequest r) {
  r.pathMustExist = true;
  r.createPrompt = true;
  r.hideReadOnly = true;
  r.noReadOnlyReturn = true;
  return r;
}

}  // namespace

FileDialogRequest DlgOpenParam(const std::string& initialName) {
  return OpenOrCreate(Request("Choose Parameter File",
                              "Parameter FIles (*.par)|*.par|All Files|*.*", "par", initialName));
}

FileDialogRequest DlgSaveParam(const std::string& initialName) {
  FileDialogRequest r = Request("Save Parameter File",
                                "Parameter Files (*.par)|*.par|All Files|*.*", "par", initialName);
  r.confirmOverwrite = true;
  r.createPrompt = true;
  r.hideReadOnly = true;
  return r;
}

FileDialogRequest DlgOpenDriver(const std::string& initialName) {
  return OpenOrCreate(
      Request("Open Driver File", "Driver files (*.drr)|*.drr|All files|*.*", "drr", initialName));
}

FileDialogRequest DlgSaveDriver(const std::string& initialName) {
  FileDialogRequest r = Request(
      "Save Driver File as", "Driver Files (*.drr)|*.drr|All Files (*.*)|*.*", "drr", initialName);
  r.confirmOverwrite = true;
  r.pathMustExist = true;
  return r;
}

FileDialogRequest DlgSaveOutput(const std::string& initialName) {
  FileDialogRequest r = Request("Save Output File as", kOutputFilter, "out", initialName);
  r.pathMustExist = true;
  return r;
}

FileDialogRequest DlgOpenOutput(const std::string& initialName) {
  FileDialogRequest r = Request("Open Output File", kOutputFilter, "out", initialName);
  r.fileMustExist = true;
  return r;
}

}  // namespace kvsorv
