#include "main_window/failure_report.h"

#include <exception>

#include "model/errors.h"
#include "program/prompter.h"

namespace kvsorv {

bool RunReportingFailures(const std::function<void()>& command) {
  try {
    command();
    return true;
  } catch (const Exception& e) {
    CurrentPrompter().Message(MessageKind::kError, MessageButtons::kOk, e.Message());
  } catch (const std::exception& e) {
    CurrentPrompter().Message(MessageKind::kError, MessageButtons::kOk, e.what());
  }
  return false;
}

}  // namespace kvsorv
