#include "editors/driver_editor_session.h"

#include "program/program_files.h"

#include <exception>

#include "editors/driver_text.h"
#include "editors/driver_text_check.h"
#include "files/driver_series.h"
#include "model/errors.h"
#include "program/file_dialogs.h"
#include "program/global_tables.h"
#include "program/prompter.h"
#include "program/run_settings.h"

namespace kvsorv {

namespace {

void ReportFailure(const std::exception& e) {
  CurrentPrompter().Message(MessageKind::kError, MessageButtons::kOk, e.what());
}

bool AskToSave() {
  return CurrentPrompter().Message(MessageKind::kWarning, MessageButtons::kYesNo,
                                   kDriversLostQuestion) == Answer::kYes;
}

}  // namespace

DriverEditorSession::DriverEditorSession(std::function<void()> chooseDriverFile)
    : chooseDriverFile_(std::move(chooseDriverFile)) {}

void DriverEditorSession::Open() {
  savedWhileOpen_ = false;
  Fill();
}

void DriverEditorSession::Fill() {
  const std::string& fileName = RunSettings.DriverFileName;
  caption_ = fileName.empty() ? kNoDriverFileCaption : kDriverCaptionPrefix + fileName;
  const int count = ModelDef.numdrivers;
  DriverSeries series;
  series.count = count;
  if (!fileName.empty()) series = ReadDriverSeries(fileName, count);
  ReportMissingDriverFile(series);
  text_ = DriverText(Drivers, count, ModelDef.timeunit, series);
  modified_ = false;
  if (series.failure) {
    try {
      std::rethrow_exception(series.failure);
    } catch (const std::exception& e) {
      ReportFailure(e);
    }
  }
}

bool DriverEditorSession::SaveText(const std::string& text) {
  if (const auto fault = CheckDriverText(text, ModelDef.numdrivers)) {
    const std::string warning =
        DriverTextFaultMessage(*fault, ModelDef.numdrivers) + "\n\n" + kSaveAnywayQuestion;
    if (CurrentPrompter().Message(MessageKind::kWarning, MessageButtons::kYesNo, warning) !=
        Answer::kYes)
      return false;
  }
  TRunSettings& s = RunSettings;
  const auto chosen = CurrentPrompter().SaveFile(DlgSaveDriver(s.DriverFileName));
  if (!chosen) return false;
  try {
    WriteDriverText(*chosen, text);
  } catch (const Exception& e) {
    ReportFailure(e);
    return false;
  }
  s.DriverFileName = *chosen;
  s.NewDriverFile = false;
  savedWhileOpen_ = true;
  return true;
}

NoteResult DriverEditorSession::Save(const std::string& text) {
  return SaveText(text) ? NoteResult::kCloseOk : NoteResult::kStayOpen;
}

NoteResult DriverEditorSession::Close(const std::string& text) {
  if (modified_ && AskToSave() && !SaveText(text)) return NoteResult::kStayOpen;
  return savedWhileOpen_ ? NoteResult::kCloseOk : NoteResult::kCloseCancel;
}

bool DriverEditorSession::Choose(const std::string& text) {
  if (modified_ && AskToSave() && !SaveText(text)) return false;
  chooseDriverFile_();
  Fill();
  return true;
}

}  // namespace kvsorv
