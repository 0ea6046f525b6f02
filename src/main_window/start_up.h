#pragma once
// Start-up of the desktop program: the order in which its windows are created, the main
// window's creation steps, and the file names and times given on its command line.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "main_window/main_view.h"

namespace kvsorv {

// Every window of the program, created once in this order; the first is the main window.
inline constexpr std::array<std::string_view, 12> kWindowCreationOrder = {
    "TMainForm", "TFmCalculate",   "TDlgScale", "TDlgReload", "TFmParameter", "TDataForm",
    "TFmNote",   "TFmDisplayData", "TFmAbout",  "TFmSeries",  "TFmTrouble",   "TFmProgress",
};

// The main window's creation: the default run settings, the model catalogue, the drivers'
// names in the main driver reader's tables, the window's caption (the model's name) and the
// run mode from the executable's path.
void FormCreate(MainView& view, const std::string& executablePath);

// Files and times given on the command line, applied as if typed into their fields.
struct StartOptions {
  std::optional<std::string> params;
  std::optional<std::string> drivers;
  std::optional<std::string> output;
  std::optional<std::string> start;
  std::optional<std::string> stop;
  std::optional<std::string> step;
  std::optional<std::string> plan;  // an ensemble plan, opened in the ensemble window
};

// Why `text` cannot be typed into the main window's `field`, or nothing when it can: the start
// and stop fields take 1 to 5 decimal digits (a whole year from 0 to 99999), the time step
// field up to 5 characters of any kind, the file fields any text. Characters are counted as
// the window's fields count them, in UTF-16 units of the UTF-8 text.
std::optional<std::string> FieldTextRefusal(MainField field, std::string_view text);

// Puts each given text into its field as typed and leaves the field: the parameter, driver
// and output files, then the start, stop and time step. A failure of one (reported in an
// error box) does not keep the others from being applied.
void ApplyStartOptions(MainView& view, const StartOptions& options);

}  // namespace kvsorv
