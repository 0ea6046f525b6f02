#pragma once
// The rules of the driver editor (TFmNote): the text and caption it shows, and what Save
// File, Close, Choose Driver File and closing the window do. The window shows Caption() and
// Text() after Open() and after a Choose() that returns true, tells the session when the
// user edits the text, and hands it the text with every command. Questions, warnings and
// the save dialog go through CurrentPrompter().

#include <functional>
#include <string>

namespace kvsorv {

inline constexpr const char* kDriverCaptionPrefix = "Driver Variables - ";
inline constexpr const char* kNoDriverFileCaption = "Driver Variables - No driver file selected";
inline constexpr const char* kDriversLostQuestion =
    "The changes you made to the drivers are about to be lost. Do you want to save the driver "
    "file before proceeding?";
inline constexpr const char* kSaveAnywayQuestion = "Save the driver file anyway?";

// What the window does after a command.
enum class NoteResult {
  kStayOpen,     // the user went back to the text, which stays as it is
  kCloseOk,      // close with OK: the driver file was saved while the window was open
  kCloseCancel,  // close with Cancel: nothing was saved
};

class DriverEditorSession {
 public:
  // `chooseDriverFile` is the main window's driver-file choosing command; it may change
  // DriverFileName and reports its own failures.
  explicit DriverEditorSession(std::function<void()> chooseDriverFile);

  // Opening the window (FormActivate): the caption from DriverFileName, the header lines from
  // the catalogue, one line per record of the driver file (read with the driver reader; a
  // missing or unreadable file is reported and shows what was read before the failure).
  // The text counts as unmodified.
  void Open();

  const std::string& Caption() const { return caption_; }
  const std::string& Text() const { return text_; }
  bool Modified() const { return modified_; }
  // The user edited the text (true), or the window took the session's text (false).
  void SetModified(bool modified) { modified_ = modified; }

  // Save File with the text as it stands. A text the driver reader would not read back as
  // written brings a warning naming the line and token, with the question "Save the driver
  // file anyway?" (Yes and No); No goes back. Then the save dialog, preset to DriverFileName;
  // cancelling it goes back. The text is written to the chosen file (replacing it only once
  // fully written); a failure is reported and goes back, with DriverFileName unchanged.
  // Once written: DriverFileName := the name, NewDriverFile := false, result kCloseOk.
  NoteResult Save(const std::string& text);

  // Close, Esc and the window frame: with the text modified, asks the question
  // kDriversLostQuestion (warning, Yes and No); Yes saves as Save does and goes back when
  // nothing was saved. Closes with OK when the driver file was saved while the window was
  // open, else with Cancel.
  NoteResult Close(const std::string& text);

  // Choose Driver File: with the text modified, asks the same question first (Yes saves, and
  // a save that does not happen goes back: false). Then runs the choosing command and opens
  // the text again from DriverFileName; returns true.
  bool Choose(const std::string& text);

 private:
  void Fill();
  bool SaveText(const std::string& text);

  std::function<void()> chooseDriverFile_;
  std::string caption_;
  std::string text_;
  bool modified_ = false;
  bool savedWhileOpen_ = false;
};

}  // namespace kvsorv
