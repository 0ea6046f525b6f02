#include "windows/display/scale_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <algorithm>

#include "display/axis_dialog_fields.h"
#include "main_window/failure_report.h"
#include "windows/common/decimal_separator.h"
#include "windows/common/qt_text.h"
#include "windows/common/window_placement.h"

namespace kvsorv {

TDlgScale::TDlgScale(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  setObjectName("TDlgScale");
  setWindowTitle("Axis Parameters");

  RGAxisType = new QGroupBox("Axis Type", this);
  RGAxisType->setObjectName("RGAxisType");
  linear_ = new QRadioButton("Li&near", RGAxisType);
  linear_->setObjectName("RGAxisTypeLinear");
  logarithmic_ = new QRadioButton("Lo&garithmic", RGAxisType);
  logarithmic_->setObjectName("RGAxisTypeLogarithmic");
  auto* types = new QHBoxLayout(RGAxisType);
  types->addWidget(linear_, 1);
  types->addWidget(logarithmic_, 1);

  LblScale = new QLabel("Scale", this);
  LblScale->setObjectName("LblScale");
  QFont heading = LblScale->font();
  heading.setBold(true);
  LblScale->setFont(heading);
  const auto field = [this](const char* labelName, const char* caption, const char* name,
                            QLabel*& label, QLineEdit*& edit) {
    label = new QLabel(caption, this);
    label->setObjectName(labelName);
    edit = new QLineEdit(this);
    edit->setObjectName(name);
    label->setBuddy(edit);
  };
  field("LblMin", "&Minimum", "EdMinValue", LblMin, EdMinValue);
  field("LblMax", "Ma&ximum", "EdMaxValue", LblMax, EdMaxValue);
  field("LblIncrem", "&Increment", "EdIncrem", LblIncrem, EdIncrem);
  LblIncrem->hide();
  EdIncrem->hide();
  CBAuto = new QCheckBox("&Auto Scale", this);
  CBAuto->setObjectName("CBAuto");

  OKBtn = new QPushButton("&OK", this);
  OKBtn->setObjectName("OKBtn");
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton("&Cancel", this);
  CancelBtn->setObjectName("CancelBtn");
  CancelBtn->setAutoDefault(false);
  connect(OKBtn, &QPushButton::clicked, this, &TDlgScale::OKBtnClick);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(8, 8, 8, 8);
  grid->setHorizontalSpacing(8);
  grid->setVerticalSpacing(4);
  grid->addWidget(RGAxisType, 0, 0, 1, 3);
  grid->addWidget(LblScale, 1, 0, 1, 2);
  grid->addWidget(LblMin, 2, 0);
  grid->addWidget(EdMinValue, 2, 1);
  grid->addWidget(OKBtn, 2, 2);
  grid->addWidget(LblMax, 3, 0);
  grid->addWidget(EdMaxValue, 3, 1);
  grid->addWidget(CancelBtn, 3, 2);
  grid->addWidget(LblIncrem, 4, 0);
  grid->addWidget(EdIncrem, 4, 1);
  grid->addWidget(CBAuto, 5, 0, 1, 2);
  grid->setRowStretch(6, 1);
  grid->setColumnStretch(1, 1);
  // The fields hold a value written with 13 significant digits and its exponent in full.
  const int fieldWidth = EdMinValue->fontMetrics().horizontalAdvance("-8.888888888888E-888") +
                         EdMinValue->sizeHint().width() -
                         EdMinValue->fontMetrics().horizontalAdvance(QString(17, 'x'));
  for (QLineEdit* edit : {EdMinValue, EdMaxValue, EdIncrem}) edit->setMinimumWidth(fieldWidth);
  const QSize fits = sizeHint();
  setFixedSize(std::max(313, fits.width()), std::max(198, fits.height()));
  setTabOrder(linear_, logarithmic_);
  setTabOrder(logarithmic_, EdMinValue);
  setTabOrder(EdMinValue, EdMaxValue);
  setTabOrder(EdMaxValue, CBAuto);
  setTabOrder(CBAuto, OKBtn);
  setTabOrder(OKBtn, CancelBtn);

  linear_->installEventFilter(this);
  logarithmic_->installEventFilter(this);
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget* from, QWidget* to) {
    if (session_ != nullptr && from != nullptr && isAncestorOf(from)) FocusLeft(from, to);
  });
}

TDlgScale::~TDlgScale() {
  disconnect(qApp, nullptr, this, nullptr);
  linear_->removeEventFilter(this);
  logarithmic_->removeEventFilter(this);
}

bool TDlgScale::Open(OutputDisplaySession& session, const std::function<void()>& axesChanged) {
  session_ = &session;
  axesChanged_ = axesChanged;
  FormShow();
  CentreOver(this, parentWidget());
  const bool ok = exec() == QDialog::Accepted;
  session_ = nullptr;
  return ok;
}

void TDlgScale::FormShow() {
  const AxisDialogFields fields = OpenAxisDialog(*session_, SystemDecimalSeparator());
  setWindowTitle(Q(fields.caption));
  QRadioButton* type = fields.logarithmic ? logarithmic_ : linear_;
  {
    const QSignalBlocker quietLinear(linear_), quietLogarithmic(logarithmic_);
    type->setChecked(true);
  }
  EdMinValue->setText(Q(fields.minimum));  // setText clears the modified flag
  EdMaxValue->setText(Q(fields.maximum));
  EdIncrem->setText(Q(fields.increment));
  CBAuto->setChecked(fields.autoScale);
  type->setFocus();
}

bool TDlgScale::eventFilter(QObject* watched, QEvent* event) {
  // An item's shortcut chooses it at once, not with a click a moment later that could land
  // after the focus has left the group.
  if (event->type() == QEvent::Shortcut && (watched == linear_ || watched == logarithmic_)) {
    auto* item = static_cast<QRadioButton*>(watched);
    item->setFocus(Qt::ShortcutFocusReason);
    item->setChecked(true);
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

bool TDlgScale::InAxisType(const QWidget* w) const {
  return w == RGAxisType || w == linear_ || w == logarithmic_;
}

void TDlgScale::FocusLeft(QWidget* from, QWidget* to) {
  if (InAxisType(from) && !InAxisType(to)) RGAxisTypeExit();
  for (QLineEdit* field : {EdMinValue, EdMaxValue, EdIncrem})
    if (from == field) EditExit(field);
}

void TDlgScale::RGAxisTypeExit() {
  session_->SetAxisLog(session_->AxisIsX, logarithmic_->isChecked());
  if (axesChanged_) axesChanged_();
}

void TDlgScale::EditExit(QLineEdit* field) {
  if (field->isModified()) CBAuto->setChecked(false);
}

void TDlgScale::OKBtnClick() {
  // OK by Enter leaves the focused control as a click on OK would.
  if (QWidget* focused = focusWidget(); focused != nullptr && focused != OKBtn)
    FocusLeft(focused, OKBtn);
  const AxisDialogFields entered{.caption = {},
                                 .logarithmic = logarithmic_->isChecked(),
                                 .minimum = S(EdMinValue->text()),
                                 .maximum = S(EdMaxValue->text()),
                                 .increment = S(EdIncrem->text()),
                                 .autoScale = CBAuto->isChecked()};
  if (RunReportingFailures([&] { AcceptAxisDialog(*session_, entered, SystemDecimalSeparator()); }))
    accept();
}

}  // namespace kvsorv
