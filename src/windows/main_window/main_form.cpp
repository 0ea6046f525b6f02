#include "windows/main_window/main_form.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>

#include "main_window/failure_report.h"
#include "main_window/file_commands.h"
#include "main_window/run_command.h"
#include "main_window/start_up.h"
#include "main_window/time_commands.h"
#include "main_window/window_commands.h"
#include "windows/auxiliary/about_window.h"
#include "windows/auxiliary/progress_window.h"
#include "windows/auxiliary/trouble_window.h"
#include "windows/common/clickable_label.h"
#include "windows/common/pictures.h"
#include "windows/common/qt_text.h"
#include "windows/main_window/application_windows.h"

namespace kvsorv {

namespace {

// The masks of the time fields: up to five digits, and up to five characters of any kind.
constexpr const char* kDigitsMask = "99999;0; ";
constexpr const char* kCharactersMask = "ccccc;0; ";

// The window's background: a soft gradient from sky to leaf colours.
class GradientBackground : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    QLinearGradient gradient(0, 0, width(), height());
    gradient.setColorAt(0, QColor(222, 236, 250));
    gradient.setColorAt(1, QColor(224, 240, 214));
    p.fillRect(rect(), gradient);
  }
};

// Lets a field accept what its edit mask allows: each "9" a digit, each "c" any character,
// none of them required. The mask stays on the field as its "editMask" property.
void ApplyEditMask(QLineEdit* field, const char* mask) {
  const QString positions = QString(mask).section(';', 0, 0);
  const QString kind = positions.startsWith('9') ? "[0-9]" : ".";
  field->setMaxLength(static_cast<int>(positions.size()));
  field->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QString("%1{0,%2}").arg(kind).arg(positions.size())), field));
  field->setProperty("editMask", mask);
}

bool IsLeavingFocus(Qt::FocusReason reason) {
  switch (reason) {
    case Qt::MouseFocusReason:
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
    case Qt::OtherFocusReason:
      return true;
    default:  // another window or a menu took the focus: the field was not left
      return false;
  }
}

}  // namespace

TMainForm::TMainForm(const std::string& executablePath, ApplicationWindows& windows)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      windows_(windows) {
  setObjectName("TMainForm");
  setWindowIcon(TreeIcon(32));
  background_ = new GradientBackground(this);
  background_->setObjectName("Background");
  setCentralWidget(background_);
  BuildFields(background_);
  BuildMenus();

  FormCreate(*this, executablePath);

  setFixedSize(sizeHint());
  if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
}

void TMainForm::BuildFields(QWidget* background) {
  auto* grid = new QGridLayout(background);
  grid->setContentsMargins(16, 16, 16, 14);
  grid->setHorizontalSpacing(10);
  grid->setVerticalSpacing(8);

  auto makeField = [&](const char* name) {
    auto* field = new QLineEdit(background);
    field->setObjectName(name);
    field->installEventFilter(this);
    return field;
  };
  auto makeLabel = [&](const char* name, const char* caption, QLineEdit* buddy) {
    auto* label = new ClickableLabel(caption, background);
    label->setObjectName(name);
    label->setBuddy(buddy);
    return label;
  };

  // The file fields: leaving one takes its text; clicking its label opens the dialog.
  struct FileRow {
    QLineEdit** field;
    const char* name;
    const char* labelName;
    const char* caption;
    void (*choose)(MainView&, FileTrigger);
  };
  const FileRow files[] = {
      {&ParamBox, "ParamBox", "LblParamFile", "&Parameter File", ChooseParamFile},
      {&DriverBox, "DriverBox", "LblDriverFile", "&Driver File", ChooseDriver},
      {&OutputBox, "OutputBox", "LblOutputFile", "O&utput File", ChooseOutputFile},
  };
  int row = 0;
  for (const FileRow& f : files) {
    *f.field = makeField(f.name);
    (*f.field)->setMinimumWidth(400);
    auto* label = makeLabel(f.labelName, f.caption, *f.field);
    const auto choose = f.choose;
    connect(label, &ClickableLabel::clicked, this,
            [this, choose] { Command([this, choose] { choose(*this, FileTrigger::kDialog); }); });
    exitCommands_[*f.field] = [this, choose] { choose(*this, FileTrigger::kField); };
    grid->addWidget(label, row, 0);
    grid->addWidget(*f.field, row, 1, 1, 5);
    ++row;
  }
  grid->setRowMinimumHeight(row++, 6);

  // The time fields, each under its label; clicking a label focuses its field.
  struct TimeColumn {
    QLineEdit** field;
    const char* name;
    const char* labelName;
    const char* caption;
    const char* mask;
    const char* initial;
    void (*apply)(MainView&);
  };
  const TimeColumn times[] = {
      {&MEStartTime, "MEStartTime", "LblStartTime", "&Start Time", kDigitsMask, "0",
       StartBoxChange},
      {&MEStopTime, "MEStopTime", "LblStopTime", "S&top Time", kDigitsMask, "2", StopBoxChange},
      {&METimeStep, "METimeStep", "LblTimeStep", "Ti&me Step", kCharactersMask, "1", StepBoxChange},
  };
  int column = 1;
  for (const TimeColumn& t : times) {
    QLineEdit* field = *t.field = makeField(t.name);
    ApplyEditMask(field, t.mask);
    field->setText(t.initial);
    field->setFixedWidth(80);
    field->setProperty("everEdited", false);
    connect(field, &QLineEdit::textEdited, field,
            [field] { field->setProperty("everEdited", true); });
    auto* label = makeLabel(t.labelName, t.caption, field);
    connect(label, &ClickableLabel::clicked, field,
            [field] { field->setFocus(Qt::MouseFocusReason); });
    const auto apply = t.apply;
    exitCommands_[field] = [this, apply] { apply(*this); };
    connect(field, &QLineEdit::returnPressed, this,
            [this, apply] { Command([this, apply] { apply(*this); }); });
    grid->addWidget(label, row, column);
    grid->addWidget(field, row + 1, column);
    ++column;
  }

  PresentBox = new QLineEdit("0", background);
  PresentBox->setObjectName("PresentBox");
  PresentBox->setEnabled(false);
  // Disabled, yet it shows a result: keep its text readable.
  QPalette readable = PresentBox->palette();
  readable.setColor(QPalette::Disabled, QPalette::Text, QColor(48, 48, 48));
  PresentBox->setPalette(readable);
  PresentBox->setFixedWidth(80);
  auto* presentLabel = new QLabel("Present Time", background);
  presentLabel->setObjectName("LblPresentTime");
  grid->addWidget(presentLabel, row, column);
  grid->addWidget(PresentBox, row + 1, column);

  BtnRun = new QPushButton("&Run", background);
  BtnRun->setObjectName("BtnRun");
  BtnRun->setEnabled(false);
  connect(BtnRun, &QPushButton::clicked, this, [this] { Command([this] { BtnRunClick(*this); }); });
  BtnReload = new QPushButton("Re&load", background);
  BtnReload->setObjectName("BtnReload");
  connect(BtnReload, &QPushButton::clicked, this,
          [this] { Command([this] { BtnReloadClick(*this); }); });
  auto* buttons = new QHBoxLayout;
  buttons->setSpacing(8);
  buttons->addStretch();
  buttons->addWidget(BtnRun);
  buttons->addWidget(BtnReload);
  grid->addLayout(buttons, row + 1, column + 1);
  grid->setColumnStretch(column + 1, 1);
}

QAction* TMainForm::AddItem(QMenu* menu, const char* name, const char* caption,
                            const std::function<void()>& command) {
  QAction* item = menu != nullptr ? menu->addAction(caption) : menuBar()->addAction(caption);
  item->setObjectName(name);
  connect(item, &QAction::triggered, this, [this, command] { Command(command); });
  return item;
}

void TMainForm::BuildMenus() {
  QMenu* files = menuBar()->addMenu("&Files");
  files->setObjectName("MenuFiles");
  QMenu* param = files->addMenu("&Parameter File");
  MIParamFile = param->menuAction();
  MIParamFile->setObjectName("MIParamFile");
  MIChooseParam = AddItem(param, "MIChooseParam", "&Choose...",
                          [this] { ChooseParamFile(*this, FileTrigger::kDialog); });
  MISaveParam = AddItem(param, "MISaveParam", "&Save...", [this] { MISaveParamClick(*this); });
  MISaveParam->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  MISaveParam->setEnabled(false);
  MISaveAsParam =
      AddItem(param, "MISaveAsParam", "Save &As", [this] { MISaveAsParamClick(*this); });
  QMenu* driver = files->addMenu("&Driver File");
  MIDriverFile = driver->menuAction();
  MIDriverFile->setObjectName("MIDriverFile");
  MIChooseDrv = AddItem(driver, "MIChooseDrv", "&Choose...",
                        [this] { ChooseDriver(*this, FileTrigger::kDialog); });
  MIEditDrv = AddItem(driver, "MIEditDrv", "&Edit...", [this] { MIEditDrvClick(*this); });
  MIOutputFile = AddItem(files, "MIOutputFile", "&Output File",
                         [this] { ChooseOutputFile(*this, FileTrigger::kDialog); });
  files->addSeparator();
  MIExit = AddItem(files, "MIExit", "E&xit", [this] { MIExitClick(*this); });

  QMenu* edit = menuBar()->addMenu("&Edit");
  edit->setObjectName("MenuEdit");
  MIEditParam = AddItem(edit, "MIEditParam", "&Parameters", [this] { MIEditParamClick(*this); });
  MIEditStates =
      AddItem(edit, "MIEditStates", "&State Variables", [this] { MIEditStatesClick(*this); });
  MIEditDrv2 = AddItem(edit, "MIEditDrv2", "&Drivers", [this] { MIEditDrvClick(*this); });

  QMenu* calculate = menuBar()->addMenu("&Calculate");
  MICalculate = calculate->menuAction();
  MICalculate->setObjectName("MICalculate");
  MICalculate->setEnabled(false);
  MICalTime = AddItem(calculate, "MICalTime", "&At Time", [this] { MICalTimeClick(*this); });
  MICalcSS = AddItem(calculate, "MICalcSS", "&Steady State", [this] { MICalcSSClick(*this); });

  QMenu* output = menuBar()->addMenu("&Output");
  output->setObjectName("MenuOutput");
  MIChart = AddItem(output, "MIChart", "&Chart", [this] { DisplayOutput(*this, false); });
  MIChart->setEnabled(false);
  MITable = AddItem(output, "MITable", "Ta&ble", [this] { DisplayOutput(*this, true); });
  MITable->setEnabled(false);
  MIViewOutFile =
      AddItem(output, "MIViewOutFile", "From &File", [this] { MIViewOutFileClick(*this); });
  MIOutTimeStep =
      AddItem(output, "MIOutTimeStep", "&Time Step", [this] { MIOutTimeStepClick(*this); });

  QMenu* ensemble = menuBar()->addMenu("E&nsemble");
  ensemble->setObjectName("MIEnsembleMenu");
  MIEnsemble =
      AddItem(ensemble, "MIEnsemble", "&Plan and Run...", [this] { MIEnsembleClick(*this); });

  QMenu* calibrate = menuBar()->addMenu("Cali&brate");
  calibrate->setObjectName("MICalibrateMenu");
  MIAgainstObservations = AddItem(calibrate, "MIAgainstObservations", "Against &Observations...",
                                  [this] { MIAgainstObservationsClick(*this); });

  MIAbout = AddItem(nullptr, "MIAbout", "&About", [this] { MIAboutClick(*this); });
}

void TMainForm::Command(const std::function<void()>& command) {
  if (busy_) return;
  busy_ = true;
  RunReportingFailures(command);
  busy_ = false;
}

void TMainForm::ApplyStartOptions(const StartOptions& options) {
  Command([this, &options] { kvsorv::ApplyStartOptions(*this, options); });
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut && !busy_ && !closeApproved_) {
    const auto found = exitCommands_.find(watched);
    if (found != exitCommands_.end() &&
        IsLeavingFocus(static_cast<QFocusEvent*>(event)->reason())) {
      const auto command = found->second;
      leaving_ = watched;
      Command(command);
      leaving_ = nullptr;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (runInProgress_) {
    // The window is disabled while a run lasts; a close request then is not held for later.
    event->ignore();
    return;
  }
  if (!closeApproved_) {
    // The window frame's close button asks about unsaved values as Exit does.
    inCloseEvent_ = true;
    Command([this] { MIExitClick(*this); });
    inCloseEvent_ = false;
  }
  if (closeApproved_) {
    event->accept();
  } else {
    event->ignore();
  }
}

QLineEdit* TMainForm::Field(MainField field) const {
  switch (field) {
    case MainField::kParamBox:
      return ParamBox;
    case MainField::kDriverBox:
      return DriverBox;
    case MainField::kOutputBox:
      return OutputBox;
    case MainField::kPresentBox:
      return PresentBox;
    case MainField::kStartTime:
      return MEStartTime;
    case MainField::kStopTime:
      return MEStopTime;
    case MainField::kTimeStep:
      return METimeStep;
  }
  return ParamBox;
}

void TMainForm::SetCaption(const std::string& caption) {
  setWindowTitle(Q(caption));
}

std::string TMainForm::FieldText(MainField field) const {
  return S(Field(field)->text());
}

void TMainForm::SetFieldText(MainField field, const std::string& text) {
  Field(field)->setText(Q(text));
}

void TMainForm::EnterFieldText(MainField field, const std::string& text) {
  QLineEdit* edit = Field(field);
  edit->setText(Q(text));
  edit->setProperty("everEdited", true);
}

bool TMainForm::FieldEdited(MainField field) const {
  return Field(field)->property("everEdited").toBool();
}

void TMainForm::EnableCommand(MainCommand command, bool enabled) {
  switch (command) {
    case MainCommand::kSaveParam:
      MISaveParam->setEnabled(enabled);
      break;
    case MainCommand::kCalculate:
      MICalculate->setEnabled(enabled);
      break;
    case MainCommand::kRun:
      BtnRun->setEnabled(enabled);
      break;
    case MainCommand::kChart:
      MIChart->setEnabled(enabled);
      break;
    case MainCommand::kTable:
      MITable->setEnabled(enabled);
      break;
  }
}

// While a field is being left the focus is on its way to where the user sent it; it is
// taken off the parameter file's field only when it rests there.
bool TMainForm::ParamBoxFocused() const {
  return leaving_ == nullptr && focusWidget() == ParamBox;
}

void TMainForm::FocusBackground() {
  background_->setFocus(Qt::OtherFocusReason);
}

void TMainForm::SetMainWindowEnabled(bool enabled) {
  if (!enabled) {
    focusBeforeDisabling_ = focusWidget();
    runInProgress_ = true;
  } else if (runInProgress_) {
    // Input and close requests made during the run were held back by the window system;
    // they must reach the still disabled window now and be dropped, not act later. Hiding
    // the progress window makes the window system send events, which brings the held ones
    // along.
    windows_.Progress().hide();
    QGuiApplication::sync();
    runInProgress_ = false;
  }
  setEnabled(enabled);
  // The progress window belongs to this window but must not look disabled with it.
  windows_.Progress().setEnabled(true);
  if (enabled && focusBeforeDisabling_ != nullptr) {
    // Disabling moved the focus away; give it back where the user left it.
    focusBeforeDisabling_->setFocus(Qt::OtherFocusReason);
    focusBeforeDisabling_ = nullptr;
  }
}

void TMainForm::CloseMainWindow() {
  closeApproved_ = true;
  if (!inCloseEvent_) close();
}

ProgramWindows& TMainForm::Windows() {
  return windows_;
}

}  // namespace kvsorv
