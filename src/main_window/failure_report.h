#pragma once
// The program's general failure report: a command that fails with an error it does not
// handle itself has the error's message shown in an error box, and the program runs on.

#include <functional>

namespace kvsorv {

// Runs the command; a failure (any error kind, or any other standard exception) is shown
// through the prompter as an error box with an OK button. Returns false when it failed.
bool RunReportingFailures(const std::function<void()>& command);

}  // namespace kvsorv
