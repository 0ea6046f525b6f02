#include "windows/display/display_window.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <filesystem>

#include "display/chart_file.h"
#include "display/list_columns.h"
#include "display/output_table_model.h"
#include "display/table_csv.h"
#include "main_window/failure_report.h"
#include "program/prompter.h"
#include "program/run_settings.h"
#include "windows/charts/chart_export.h"
#include "windows/charts/output_chart.h"
#include "windows/common/decimal_separator.h"
#include "windows/common/qt_text.h"
#include "windows/display/output_table_view.h"
#include "windows/display/series_list_box.h"

namespace kvsorv {

namespace {

constexpr int kChartPanelHeight = 210;
constexpr int kTablePanelHeight = 40;
constexpr int kRightPanelWidth = 220;  // the value types' captions in the system font

// The display's file with another extension, as the export dialogs offer it.
std::string DisplayFileAs(const char* extension) {
  if (RunSettings.DisplayFileName.empty()) return {};
  return std::filesystem::path(RunSettings.DisplayFileName).replace_extension(extension).string();
}

}  // namespace

TFmDisplayData::TFmDisplayData(Hooks hooks, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      hooks_(std::move(hooks)) {
  setObjectName("TFmDisplayData");
  setWindowTitle(Q(session_.Caption()));
  model_ = new OutputTableModel(session_.Table(), SystemDecimalSeparator(), this);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  BuildMenu();
  pages_ = new QStackedWidget(this);
  SgModelOutput = new OutputTableView(pages_);
  SgModelOutput->setObjectName("SgModelOutput");
  SgModelOutput->setModel(model_);
  ChOutput = new OutputChart(pages_);
  ChOutput->setObjectName("ChOutput");
  pages_->addWidget(SgModelOutput);
  pages_->addWidget(ChOutput);
  layout->addWidget(pages_, 1);
  BuildBottomPanel();
  layout->addWidget(PnBottom);
  resize(1000, 700);
}

void TFmDisplayData::BuildMenu() {
  auto* bar = new QMenuBar(this);
  bar->setObjectName("DisplayMenu");
  static_cast<QVBoxLayout*>(layout())->setMenuBar(bar);
  const auto item = [this](QMenu* menu, const char* name, const char* caption,
                           std::function<void()> command) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, [this, command] { Command(command); });
    return action;
  };
  MIWindow = bar->addMenu("&Window");
  MIWindow->setObjectName("MIWindow");
  MINewFile = item(MIWindow, "MINewFile", "&New File", [this] { MINewFileClick(); });
  MIExportChart =
      item(MIWindow, "MIExportChart", "Export C&hart...", [this] { MIExportChartClick(); });
  MIExportTable =
      item(MIWindow, "MIExportTable", "Export &Table...", [this] { MIExportTableClick(); });
  MIWindow->addSeparator();
  MICloseDisplay = item(MIWindow, "MICloseDisplay", "&Close", [this] { BtnCloseDisplayClick(); });

  MIChart = bar->addMenu("&Chart");
  MIChart->setObjectName("MIChart");
  MIXaxis = MIChart->addMenu("&X-axis");
  MIXaxis->setObjectName("MIXaxis");
  MIDefineX = item(MIXaxis, "MIDefineX", "&Define", [this] { ChooseSeries(true); });
  MIScaleX = item(MIXaxis, "MIScaleX", "&Scale", [this] { ScaleClick(true); });
  MIYaxis = MIChart->addMenu("&Y-axis");
  MIYaxis->setObjectName("MIYaxis");
  MIDefineY = item(MIYaxis, "MIDefineY", "&Define", [this] { ChooseSeries(false); });
  MIScaleY = item(MIYaxis, "MIScaleY", "&Scale", [this] { ScaleClick(false); });
  MIUpdateChart = item(MIChart, "MIUpdateChart", "&Update", [this] { UpdateChart(); });
  MIPrintChart = item(MIChart, "MIPrintChart", "&Print", [this] { MIPrintChartClick(); });
}

void TFmDisplayData::BuildBottomPanel() {
  PnBottom = new QWidget(this);
  PnBottom->setObjectName("PnBottom");
  auto* row = new QHBoxLayout(PnBottom);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  BuildSeriesPanel();
  BuildCommandPanel();
  row->addWidget(PnBottomLeft, 1);
  row->addWidget(PnBottomRight);
}

void TFmDisplayData::BuildSeriesPanel() {
  PnBottomLeft = new QWidget(PnBottom);
  PnBottomLeft->setObjectName("PnBottomLeft");
  auto* left = new QVBoxLayout(PnBottomLeft);
  left->setContentsMargins(4, 4, 4, 4);
  left->setSpacing(2);
  LbDirections = new QLabel(kDirections, PnBottomLeft);
  LbDirections->setObjectName("LbDirections");
  LbxSeries = new SeriesListBox(PnBottomLeft);
  LbxSeries->setObjectName("LbxSeries");
  LbxSeries->Fill(session_.Series());
  connect(LbxSeries, &QListWidget::itemSelectionChanged, this,
          [this] { session_.Series().selected = LbxSeries->Selection(); });
  left->addWidget(LbDirections);
  left->addWidget(LbxSeries, 1);
}

void TFmDisplayData::BuildCommandPanel() {
  PnBottomRight = new QWidget(PnBottom);
  PnBottomRight->setObjectName("PnBottomRight");
  PnBottomRight->setFixedWidth(kRightPanelWidth);
  auto* right = new QVBoxLayout(PnBottomRight);
  right->setContentsMargins(5, 5, 5, 5);
  right->setSpacing(4);
  BuildValueTypes();
  const auto button = [this](const char* name, const char* caption,
                             void (TFmDisplayData::*click)()) {
    auto* b = new QPushButton(caption, PnBottomRight);
    b->setObjectName(name);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this,
            [this, click] { Command([this, click] { (this->*click)(); }); });
    return b;
  };
  BtnUpdateChart = button("BtnUpdateChart", "&Update Chart", &TFmDisplayData::UpdateChart);
  BtnUpdateChart->setDefault(true);
  BtnClearSeries =
      button("BtnClearSeries", "Clear &Selection", &TFmDisplayData::BtnClearSeriesClick);
  BtnCloseDisplay =
      button("BtnCloseDisplay", "Close &Display", &TFmDisplayData::BtnCloseDisplayClick);
  right->addWidget(RgValueType);
  right->addWidget(BtnUpdateChart);
  right->addWidget(BtnClearSeries);
  right->addWidget(BtnCloseDisplay);
  right->addStretch(1);
}

void TFmDisplayData::BuildValueTypes() {
  RgValueType = new QGroupBox("Plot as", PnBottomRight);
  RgValueType->setObjectName("RgValueType");
  auto* types = new QVBoxLayout(RgValueType);
  types->setContentsMargins(6, 2, 2, 2);
  types->setSpacing(0);
  const struct {
    const char* name;
    const char* caption;
    ValueType type;
  } items[] = {
      {"RgValueTypeActual", "&Actual Values (y)", ValueType::kActual},
      {"RgValueTypeRelative", "&Relative Change (y/y0)", ValueType::kRelative},
      {"RgValueTypeCumulative", "Cu&mmulative Change (y-y0)", ValueType::kCumulative},
  };
  for (int i = 0; i < 3; ++i) {
    auto* button = new QRadioButton(items[i].caption, RgValueType);
    button->setObjectName(items[i].name);
    const ValueType type = items[i].type;
    connect(button, &QRadioButton::toggled, this, [this, type](bool on) {
      if (on) session_.valueType = type;
    });
    types->addWidget(button);
    valueTypes_[i] = button;
  }
  valueTypes_[0]->setChecked(true);
}

void TFmDisplayData::Command(const std::function<void()>& command) {
  RunReportingFailures(command);
}

void TFmDisplayData::Open(bool tableMode) {
  TableMode = tableMode;
  FormShow();
  setWindowState(windowState() | Qt::WindowMaximized);
  exec();
}

void TFmDisplayData::FormShow() {
  if (RunSettings.OutputReloadPending) LoadTable();
  const bool chart = !TableMode;
  pages_->setCurrentWidget(chart ? static_cast<QWidget*>(ChOutput) : SgModelOutput);
  MIChart->menuAction()->setVisible(chart);
  MIChart->setEnabled(chart);
  MIExportChart->setEnabled(chart);
  PnBottom->setFixedHeight(chart ? kChartPanelHeight : kTablePanelHeight);
  for (QWidget* w : {static_cast<QWidget*>(LbxSeries), static_cast<QWidget*>(LbDirections),
                     static_cast<QWidget*>(RgValueType), static_cast<QWidget*>(BtnUpdateChart),
                     static_cast<QWidget*>(BtnClearSeries)}) {
    w->setVisible(chart);
    w->setEnabled(chart);
  }
  // The series are chosen first (typing a name finds it, Space toggles it).
  (chart ? static_cast<QWidget*>(LbxSeries) : SgModelOutput)->setFocus();
}

void TFmDisplayData::LoadTable() {
  RunReportingFailures([this] { model_->ChangeTable([this] { session_.LoadTable(); }); });
  setWindowTitle(Q(session_.Caption()));
}

void TFmDisplayData::UpdateChart() {
  session_.UpdateChart();
  ChOutput->Show(session_.Chart(), AxisViewOf(true), AxisViewOf(false));
}

AxisView TFmDisplayData::AxisViewOf(bool isX) const {
  return {.state = session_.Axis(isX), .shown = session_.ShownRange(isX)};
}

void TFmDisplayData::ShowAxes() {
  for (const bool isX : {true, false}) ChOutput->ShowAxis(isX, AxisViewOf(isX));
}

void TFmDisplayData::ChooseSeries(bool axisIsX) {
  UpdateChart();
  session_.AxisIsX = axisIsX;
  hooks_.chooseSeries(session_);
  LbxSeries->SetSelection(session_.Series().selected);
}

void TFmDisplayData::ScaleClick(bool axisIsX) {
  UpdateChart();
  session_.AxisIsX = axisIsX;
  hooks_.scaleAxis(session_, [this] { ShowAxes(); });
  ShowAxes();
}

void TFmDisplayData::BtnClearSeriesClick() {
  session_.Series().ClearSelection();
  LbxSeries->SetSelection(session_.Series().selected);
}

void TFmDisplayData::BtnCloseDisplayClick() {
  session_.CloseDisplay();
  accept();
}

void TFmDisplayData::MINewFileClick() {
  hooks_.viewOutputFile();
  FormShow();
  UpdateChart();
}

void TFmDisplayData::MIPrintChartClick() {
  if (CurrentPrompter().Message(MessageKind::kInformation, MessageButtons::kOkCancel,
                                kPrintQuestion) != Answer::kOk)
    return;
  const QPrinterInfo printerInfo = QPrinterInfo::defaultPrinter();
  if (printerInfo.isNull()) {
    CurrentPrompter().Message(MessageKind::kError, MessageButtons::kOk, kNoPrinterMessage);
    return;
  }
  QPrinter printer(printerInfo, QPrinter::HighResolution);
  PrintChart(*ChOutput, printer);
}

void TFmDisplayData::MIExportChartClick() {
  const auto name = CurrentPrompter().SaveFile({.title = "Export Chart",
                                                .filter = kChartFileFilter,
                                                .defaultExtension = "png",
                                                .initialName = DisplayFileAs(".png"),
                                                .confirmOverwrite = true,
                                                .pathMustExist = true});
  if (name) SaveChartFile(*ChOutput, *name);
}

void TFmDisplayData::MIExportTableClick() {
  const auto name = CurrentPrompter().SaveFile({.title = "Export Table",
                                                .filter = kTableFileFilter,
                                                .defaultExtension = "csv",
                                                .initialName = DisplayFileAs(".csv"),
                                                .confirmOverwrite = true,
                                                .pathMustExist = true});
  if (name) WriteTableCsv(session_.Table(), *name);
}

void TFmDisplayData::FormResize() {
  LbxSeries->SetColumns(ListColumnCount(width() - PnBottomRight->width(), kDisplayListThreshold));
}

void TFmDisplayData::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  FormResize();
}

void TFmDisplayData::keyPressEvent(QKeyEvent* event) {
  // Esc is Close Display; the window frame closes without it.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    BtnCloseDisplay->click();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace kvsorv
