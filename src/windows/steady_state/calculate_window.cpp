#include "windows/steady_state/calculate_window.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "main_window/failure_report.h"
#include "steady_state/field_text.h"
#include "windows/common/qt_text.h"
#include "windows/common/system_colours.h"
#include "windows/steady_state/status_light.h"

namespace kvsorv {

namespace {

constexpr const char* kCaption = "Calculate Steady State - Enter values for all underlined items";
constexpr int kFieldWidth = 96;
// Fields side by side in a group box that spans the window, and in a half-width one.
constexpr int kFullWidthColumns = 3;
constexpr int kHalfWidthColumns = 1;

// The system's decimal separator, as the window shows and reads numbers.
char DecimalSeparator() {
  const QString point = QLocale::system().decimalPoint();
  return point.size() == 1 && point[0].unicode() < 128 ? static_cast<char>(point[0].unicode())
                                                       : '.';
}

const QColor kInvalidColour(255, 255, 0);

}  // namespace

TFmCalculate::TFmCalculate(Hooks hooks, QWidget* parent)
    : QDialog(parent), hooks_(std::move(hooks)) {
  setObjectName("TFmCalculate");
  setWindowTitle(kCaption);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  BuildTopPanel();
  BuildGroups();
  SetTabOrder();
  FormSetup();
  // Fits a 1280 x 800 screen with room for the frame and a panel.
  resize(1180, 720);
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    if (now != nullptr && scroll_->widget()->isAncestorOf(now))
      scroll_->ensureWidgetVisible(now, 20, 40);
  });
}

TFmCalculate::~TFmCalculate() {
  disconnect(qApp, nullptr, this, nullptr);
}

void TFmCalculate::BuildTopPanel() {
  auto* panel = new QHBoxLayout;
  auto* labelType = new QGroupBox("Show labels as", this);
  labelType->setObjectName("RgLabelType");
  auto* labelTypeLayout = new QHBoxLayout(labelType);
  names_ = new QRadioButton("&Names", labelType);
  names_->setObjectName("RgLabelTypeNames");
  symbols_ = new QRadioButton("&Symbols", labelType);
  symbols_->setObjectName("RgLabelTypeSymbols");
  names_->setChecked(true);
  labelTypeLayout->addWidget(names_);
  labelTypeLayout->addWidget(symbols_);
  const auto labelModeChanged = [this] {
    labelMode_ = symbols_->isChecked() ? LabelMode::kSymbols : LabelMode::kNames;
    FormSetup();
  };
  connect(names_, &QRadioButton::toggled, this, labelModeChanged);

  BtnShowallProc = new QPushButton("Show all &processes", this);
  BtnShowallProc->setObjectName("BtnShowallProc");
  connect(BtnShowallProc, &QPushButton::clicked, this, &TFmCalculate::BtnShowallProcClick);
  BtnSaveParamFile = new QPushButton("Save parameter &file", this);
  BtnSaveParamFile->setObjectName("BtnSaveParamFile");
  connect(BtnSaveParamFile, &QPushButton::clicked, this, &TFmCalculate::BtnSaveParamFileClick);

  GbStatus = new QGroupBox("Status", this);
  GbStatus->setObjectName("GbStatus");
  auto* statusLayout = new QVBoxLayout(GbStatus);
  ShStatus = new StatusLight(GbStatus);
  ShStatus->setObjectName("ShStatus");
  statusLayout->addWidget(ShStatus, 0, Qt::AlignHCenter);
  LblStatusNote = new QLabel(GbStatus);
  LblStatusNote->setObjectName("LblStatusNote");
  LblStatusNote->setWordWrap(true);
  LblStatusNote->setMaximumWidth(180);
  statusLayout->addWidget(LblStatusNote);

  BtnOK = new QPushButton("&OK", this);
  BtnOK->setObjectName("BtnOK");
  BtnOK->setAutoDefault(false);
  connect(BtnOK, &QPushButton::clicked, this, &TFmCalculate::BtnOKClick);
  BtnCancel = new QPushButton("&Cancel", this);
  BtnCancel->setObjectName("BtnCancel");
  BtnCancel->setAutoDefault(false);
  connect(BtnCancel, &QPushButton::clicked, this, &TFmCalculate::BtnCancelClick);
  for (QPushButton* b : {BtnShowallProc, BtnSaveParamFile}) b->setAutoDefault(false);

  panel->addWidget(labelType);
  panel->addWidget(BtnShowallProc);
  panel->addWidget(BtnSaveParamFile);
  panel->addWidget(GbStatus);
  panel->addStretch();
  panel->addWidget(BtnOK);
  panel->addWidget(BtnCancel);
  static_cast<QVBoxLayout*>(layout())->addLayout(panel);
}

void TFmCalculate::BuildGroups() {
  scroll_ = new QScrollArea(this);
  scroll_->setObjectName("ScrollBox");
  scroll_->setWidgetResizable(true);
  auto* content = new QWidget(scroll_);
  auto* rowsLayout = new QVBoxLayout(content);
  rows_.reserve(SteadyStateFields().size());

  // Half-width boxes gather in a left and a right column until the next full-width box.
  QVBoxLayout* left = nullptr;
  QVBoxLayout* right = nullptr;
  const auto closeColumns = [&] {
    if (left == nullptr) return;
    left->addStretch();
    right->addStretch();
    left = right = nullptr;
  };
  const auto groups = SteadyStateGroups();
  for (int g = 0; g < static_cast<int>(groups.size()); ++g) {
    QGroupBox* box = BuildGroup(g);
    groups_.push_back(box);
    if (groups[g].placement == GroupPlacement::kFullWidth) {
      closeColumns();
      rowsLayout->addWidget(box);
      continue;
    }
    if (left == nullptr) {
      auto* columns = new QHBoxLayout;
      left = new QVBoxLayout;
      right = new QVBoxLayout;
      columns->addLayout(left, 1);
      columns->addLayout(right, 1);
      rowsLayout->addLayout(columns);
    }
    (groups[g].placement == GroupPlacement::kLeft ? left : right)->addWidget(box);
  }
  closeColumns();
  rowsLayout->addStretch();
  scroll_->setWidget(content);
  static_cast<QVBoxLayout*>(layout())->addWidget(scroll_, 1);
}

QGroupBox* TFmCalculate::BuildGroup(int g) {
  const SteadyStateGroup& group = SteadyStateGroups()[static_cast<std::size_t>(g)];
  auto* box = new QGroupBox(Q(group.title));
  box->setObjectName(Q(group.name));
  auto* grid = new QGridLayout(box);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(3);
  const int columns =
      group.placement == GroupPlacement::kFullWidth ? kFullWidthColumns : kHalfWidthColumns;
  int n = 0;
  for (const SteadyStateField& field : SteadyStateFields()) {
    if (field.group != g) continue;
    Row row;
    row.field = &field;
    row.name = new QLabel(box);
    row.name->setObjectName(Q(LabelComponentName(field, false)));
    row.edit = new QLineEdit(box);
    row.edit->setObjectName(Q(FieldComponentName(field)));
    row.edit->setFixedWidth(kFieldWidth);
    row.edit->setEnabled(field.role == FieldRole::kEntered);
    row.units = new QLabel(box);
    row.units->setObjectName(Q(LabelComponentName(field, true)));
    row.name->setBuddy(row.edit);
    if (LabelUnderlined(field)) {
      QFont font = row.name->font();
      font.setUnderline(true);
      row.name->setFont(font);
    }
    if (!InTabOrder(field)) row.edit->setFocusPolicy(Qt::ClickFocus);
    const int r = n / columns;
    const int c = (n % columns) * 3;
    grid->addWidget(row.name, r, c);
    grid->addWidget(row.edit, r, c + 1);
    grid->addWidget(row.units, r, c + 2);
    ++n;
    rows_.push_back(row);
  }
  for (int c = 0; c < columns; ++c) grid->setColumnStretch(c * 3 + 2, 1);
  return box;
}

void TFmCalculate::SetTabOrder() {
  QWidget* previous = nullptr;
  for (Row& row : rows_) {
    rowOfEdit_[row.edit] = &row;
    row.edit->installEventFilter(this);
    connect(row.edit, &QLineEdit::returnPressed, this,
            [this, edit = row.edit] { StoreValue(edit); });
    if (!InTabOrder(*row.field)) continue;
    if (previous != nullptr) QWidget::setTabOrder(previous, row.edit);
    previous = row.edit;
  }
}

void TFmCalculate::FormSetup() {
  for (Row& row : rows_) {
    row.editBinding = BindComponent(S(row.edit->objectName()), false);
    row.nameBinding = BindComponent(S(row.name->objectName()), true);
    row.unitsBinding = BindComponent(S(row.units->objectName()), true);
    row.name->setText(Q(LabelCaption(row.nameBinding, labelMode_)));
    row.units->setText(Q(LabelCaption(row.unitsBinding, labelMode_)));
  }
}

int TFmCalculate::Open() {
  // The label captions follow the catalogue and any table loaded since the last opening.
  FormSetup();
  const bool solveAtOnce = RunModes.SensitivityMode || RunModes.MonteCarloMode;
  session_.SetProcessGridShown(hooks_.processListShown && hooks_.processListShown());
  struct CloseSession {
    SteadyStateSession& session;
    ~CloseSession() { session.Close(); }
  } closeSession{session_};
  const bool opened = session_.OpenFromProgram();
  UpdateFormValues();
  if (opened && solveAtOnce) {
    session_.OfferSolve();  // a failure passes on to the caller
    UpdateFormValues();
  } else if (opened) {
    // Asked once the window shows, with the Ps field focused and scrolled into view.
    QTimer::singleShot(0, this, &TFmCalculate::AskToSolve);
  }
  return exec();
}

void TFmCalculate::AskToSolve() {
  for (Row& row : rows_)
    if (row.field->symbol == "Ps" && row.field->kind == QuantityKind::kProcess)
      row.edit->setFocus(Qt::OtherFocusReason);
  session_.SetProcessGridShown(hooks_.processListShown && hooks_.processListShown());
  session_.OfferSolve();
  UpdateFormValues();
}

void TFmCalculate::UpdateFormValues() {
  const char separator = DecimalSeparator();
  const std::vector<int>& invalid = session_.InvalidFields();
  const QColor disabledColour = ScrollBarColour(palette());
  const QColor enabledColour = palette().color(QPalette::Base);
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    Row& row = rows_[i];
    const BoundField& bound = session_.Fields()[i];
    row.edit->setText(Q(FormatFieldValue(session_.FieldValue(bound), separator)));
    row.edit->setModified(false);
    row.edit->setCursorPosition(0);
    const bool isInvalid =
        std::find(invalid.begin(), invalid.end(), static_cast<int>(i)) != invalid.end();
    QPalette p = row.edit->palette();
    const QColor colour =
        isInvalid ? kInvalidColour : (row.edit->isEnabled() ? enabledColour : disabledColour);
    p.setColor(QPalette::Base, colour);
    p.setColor(QPalette::Disabled, QPalette::Base, colour);
    // Dark text on yellow, also in a disabled box, where the grey text would not read.
    p.setColor(QPalette::Disabled, QPalette::Text,
               isInvalid ? palette().color(QPalette::Active, QPalette::Text)
                         : palette().color(QPalette::Disabled, QPalette::Text));
    row.edit->setPalette(p);
    row.edit->setProperty("invalid", isInvalid);
  }
  const auto groups = SteadyStateGroups();
  for (std::size_t g = 0; g < groups.size(); ++g)
    if (groups[g].disabledOnFailure) groups_[g]->setEnabled(session_.GroupBoxesEnabled());
  GbStatus->setEnabled(session_.GroupBoxesEnabled());
  ShStatus->SetGreen(session_.StatusGreen());
  const QString note = Q(session_.StatusNote());
  LblStatusNote->setText(note);
  LblStatusNote->setVisible(!note.isEmpty());
  ShStatus->setToolTip(note);
}

bool TFmCalculate::Attempt(const std::function<void()>& command) {
  session_.SetProcessGridShown(hooks_.processListShown && hooks_.processListShown());
  return RunReportingFailures(command);
}

void TFmCalculate::StoreValue(QLineEdit* edit) {
  if (committing_ || !edit->isModified() || edit->text().isEmpty()) return;
  const auto row = rowOfEdit_.find(edit);
  if (row == rowOfEdit_.end()) return;
  committing_ = true;
  std::optional<UpdateOutcome> outcome;
  const bool done = Attempt([&] {
    outcome = session_.CommitEntry(row->second->field->symbol, S(edit->text()), DecimalSeparator());
  });
  committing_ = false;
  // A text that is no number stays in its field until the next redisplay.
  if (!done) return;
  UpdateFormValues();
  if (outcome && outcome->solveFailed) BtnCancel->setFocus(Qt::OtherFocusReason);
}

bool TFmCalculate::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut) {
    if (auto* edit = qobject_cast<QLineEdit*>(watched); edit != nullptr && isVisible())
      StoreValue(edit);
  }
  return QDialog::eventFilter(watched, event);
}

void TFmCalculate::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    BtnCancelClick();
    return;
  }
  // Enter commits the field's entry (its own handler) and must not close the window.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) return;
  QDialog::keyPressEvent(event);
}

void TFmCalculate::reject() {
  session_.Close();
  QDialog::reject();
}

void TFmCalculate::BtnOKClick() {
  session_.Ok();
  if (RunModes.InteractiveMode && hooks_.hideProcessList) hooks_.hideProcessList();
  accept();
}

void TFmCalculate::BtnCancelClick() {
  session_.Cancel();
  if (hooks_.hideProcessList) hooks_.hideProcessList();
  QDialog::reject();
}

void TFmCalculate::BtnSaveParamFileClick() {
  Attempt([this] { session_.SaveParamFile(hooks_.saveParamFile); });
}

void TFmCalculate::BtnShowallProcClick() {
  session_.ShowAllProcesses();
  if (hooks_.showProcessList) hooks_.showProcessList();
}

}  // namespace kvsorv
