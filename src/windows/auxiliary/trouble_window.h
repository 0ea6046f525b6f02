#pragma once
// The trouble window: the about window rearranged to report the error that ended a run.

#include "windows/auxiliary/about_window.h"

namespace kvsorv {

class TFmTrouble : public TFmAbout {
  Q_OBJECT
 public:
  explicit TFmTrouble(QWidget* parent = nullptr);

  // Replaces the error text with the message and shows the window modally.
  void ShowError(const std::string& message);

 private:
  void Image1Click();

  QPlainTextEdit* MmError;
};

}  // namespace kvsorv
