#pragma once
// What the main window's commands need of the window that shows them: its fields, the
// commands it enables, its caption and focus, and the way to the other windows. The desktop
// program implements it with widgets; tests implement it with plain values.

#include <string>

#include "main_window/program_windows.h"

namespace kvsorv {

// The main window's edit fields.
enum class MainField {
  kParamBox,
  kDriverBox,
  kOutputBox,
  kPresentBox,
  kStartTime,  // MEStartTime
  kStopTime,   // MEStopTime
  kTimeStep,   // METimeStep
};

// The commands whose enabling the refresh decides.
enum class MainCommand {
  kSaveParam,  // MISaveParam "&Save..."
  kCalculate,  // MICalculate, the whole Calculate menu
  kRun,        // BtnRun
  kChart,      // MIChart
  kTable,      // MITable
};

// How a file command was triggered: by leaving its edit field (the name is the field's text)
// or by its label, its menu item or another window (the name comes from a file dialog).
enum class FileTrigger { kField, kDialog };

class MainView {
 public:
  virtual ~MainView() = default;

  virtual void SetCaption(const std::string& caption) = 0;

  virtual std::string FieldText(MainField field) const = 0;
  // Shows a text, as the program does; the field does not count as edited by the user.
  virtual void SetFieldText(MainField field, const std::string& text) = 0;
  // Puts a text into a field as if the user had typed it: the field counts as edited.
  virtual void EnterFieldText(MainField field, const std::string& text) = 0;
  // Whether the user has edited the field at any time since the window was created.
  virtual bool FieldEdited(MainField field) const = 0;

  virtual void EnableCommand(MainCommand command, bool enabled) = 0;

  // Whether the parameter file's field has the keyboard focus, and moving the focus from it
  // to the window's background.
  virtual bool ParamBoxFocused() const = 0;
  virtual void FocusBackground() = 0;

  // Disables or enables the whole main window (during a run).
  virtual void SetMainWindowEnabled(bool enabled) = 0;
  // Closes the main window, which ends the program.
  virtual void CloseMainWindow() = 0;

  // The other windows of the program.
  virtual ProgramWindows& Windows() = 0;
};

}  // namespace kvsorv
