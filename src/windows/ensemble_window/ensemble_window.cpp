#include "windows/ensemble_window/ensemble_window.h"

#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <stdexcept>

#include "display/chart_file.h"
#include "program/prompter.h"
#include "windows/charts/chart_export.h"
#include "windows/charts/ensemble_charts.h"
#include "windows/common/qt_text.h"
#include "windows/ensemble_window/correlation_table_model.h"
#include "windows/ensemble_window/distribution_delegate.h"
#include "windows/ensemble_window/plan_table_model.h"

namespace kvsorv {

namespace {

constexpr int kRedrawMs = 300;

const ensemble::Method kMethods[] = {ensemble::Method::kMonteCarlo,
                                     ensemble::Method::kLatinHypercube, ensemble::Method::kSobol,
                                     ensemble::Method::kMorris, ensemble::Method::kOneAtATime};
const char* const kMethodCaptions[] = {"Monte Carlo (mc)", "Latin hypercube (lhs)",
                                       "Sobol indices (sobol)", "Morris screening (morris)",
                                       "One at a time (oat)"};

QChartView* ChartView(const char* name) {
  auto* view = new QChartView(new QChart);
  view->setObjectName(name);
  view->setRenderHint(QPainter::Antialiasing);
  view->setMinimumSize(480, 320);
  return view;
}

// A label whose accelerator moves the focus to its control.
QLabel* Labelling(const char* text, QWidget* control) {
  auto* label = new QLabel(text);
  label->setBuddy(control);
  return label;
}

// A chart that says why it draws nothing, its text broken into lines that fit.
QChart* Placeholder(const QString& text) {
  auto* chart = new QChart;
  QString wrapped;
  int column = 0;
  for (const QString& word : text.split(' ')) {
    if (column > 0 && column + word.size() > 56) {
      wrapped += "<br>";
      column = 0;
    } else if (column > 0) {
      wrapped += ' ';
      ++column;
    }
    wrapped += word.toHtmlEscaped();
    column += static_cast<int>(word.size());
  }
  chart->setTitle(wrapped);
  return chart;
}

// The figure each chart tab shows.
ensemble::Figure FigureOfTab(int tab) {
  using ensemble::Figure;
  const Figure figures[] = {Figure::kEnvelope,    Figure::kTornado, Figure::kSobol,
                            Figure::kConvergence, Figure::kMorris,  Figure::kFailures};
  return figures[std::clamp(tab, 0, static_cast<int>(std::size(figures)) - 1)];
}

std::string OutputsText(const std::vector<ensemble::OutputSpec>& outputs) {
  std::string text;
  for (const ensemble::OutputSpec& o : outputs) {
    text += (text.empty() ? "" : "; ") + o.symbol;
    if (o.everyLine) {
      text += " every output line";
    } else {
      text += " at";
      for (std::size_t i = 0; i < o.times.size(); ++i) {
        char t[32];
        std::snprintf(t, sizeof t, "%s %g", i ? "," : "", o.times[i]);
        text += t;
      }
    }
  }
  return text.empty() ? "none" : text;
}

}  // namespace

TFmEnsemble::TFmEnsemble(QWidget* owner) : QWidget(owner, Qt::Window) {
  setObjectName("TFmEnsemble");
  setWindowTitle("Ensemble");
  Build();
  session_.SetProgressObserver([this](const ensemble::RunProgress&) {
    QMetaObject::invokeMethod(
        this, [this] { MembersFinished(); }, Qt::QueuedConnection);
  });
  ShowPlan();
}

TFmEnsemble::~TFmEnsemble() {
  session_.SetProgressObserver({});
  session_.Stop();
  // The views and their models read the session: they go while it is still there, not after
  // it in QWidget's destructor (a view repainted then read a destroyed plan).
  qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
  delete model_;
  delete correlations_;
}

void TFmEnsemble::Build() {
  QWidget* planSide = BuildPlanSide();
  QWidget* chartSide = BuildChartSide();
  auto* split = new QSplitter(Qt::Horizontal);
  split->addWidget(planSide);
  split->addWidget(chartSide);
  split->setStretchFactor(0, 2);
  split->setStretchFactor(1, 3);
  QHBoxLayout* runBar = BuildRunControls();

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(split, 1);
  layout->addWidget(LblResultsNote);
  layout->addLayout(runBar);
  resize(1280, 720);

  BuildRedrawTimer();
  ConnectPlanCommands();
  ConnectCorrelations();
  ConnectDesignSettings();
  ConnectRunControls();
  ConnectCharts();
}

QWidget* TFmEnsemble::BuildPlanSide() {
  QHBoxLayout* planBar = BuildPlanBar();
  QGridLayout* settings = BuildDesignSettings();
  BuildPlanTable();
  QHBoxLayout* correlationBar = BuildCorrelations();
  auto* planSide = new QWidget;
  auto* planLayout = new QVBoxLayout(planSide);
  planLayout->setContentsMargins(0, 0, 0, 0);
  planLayout->addLayout(planBar);
  planLayout->addLayout(settings);
  planLayout->addWidget(GrdPlan, 1);
  planLayout->addLayout(correlationBar);
  planLayout->addWidget(GrdCorrelations);
  return planSide;
}

QHBoxLayout* TFmEnsemble::BuildPlanBar() {
  auto* planBar = new QHBoxLayout;
  BtnOpenPlan = new QPushButton("&Open plan…");
  BtnSavePlan = new QPushButton("&Save plan…");
  BtnAddParameter = new QPushButton("&Add parameter");
  BtnRemoveParameter = new QPushButton("Remo&ve parameter");
  for (QPushButton* b : {BtnOpenPlan, BtnSavePlan, BtnAddParameter, BtnRemoveParameter})
    planBar->addWidget(b);
  planBar->addStretch();
  BtnOpenPlan->setObjectName("BtnOpenPlan");
  BtnSavePlan->setObjectName("BtnSavePlan");
  BtnAddParameter->setObjectName("BtnAddParameter");
  BtnRemoveParameter->setObjectName("BtnRemoveParameter");
  return planBar;
}

QGridLayout* TFmEnsemble::BuildDesignSettings() {
  auto* settings = new QGridLayout;
  EdMembers = new QSpinBox;
  EdMembers->setObjectName("EdMembers");
  EdMembers->setRange(1, 100000000);
  EdSeed = new QLineEdit;
  EdSeed->setObjectName("EdSeed");
  EdSeed->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{1,15}"), EdSeed));
  CbMethod = new QComboBox;
  CbMethod->setObjectName("CbMethod");
  for (const char* caption : kMethodCaptions) CbMethod->addItem(caption);
  LblPlanFile = new QLabel;
  LblPlanFile->setObjectName("LblPlanFile");
  LblPlanFile->setTextInteractionFlags(Qt::TextSelectableByMouse);
  LblOutputs = new QLabel;
  LblOutputs->setObjectName("LblOutputs");
  LblOutputs->setWordWrap(true);
  settings->addWidget(new QLabel("Plan:"), 0, 0);
  settings->addWidget(LblPlanFile, 0, 1, 1, 5);
  LblMembers = Labelling("&Members:", EdMembers);
  LblMembers->setObjectName("LblMembers");
  settings->addWidget(LblMembers, 1, 0);
  settings->addWidget(EdMembers, 1, 1);
  settings->addWidget(Labelling("S&eed:", EdSeed), 1, 2);
  settings->addWidget(EdSeed, 1, 3);
  settings->addWidget(Labelling("&Design:", CbMethod), 1, 4);
  settings->addWidget(CbMethod, 1, 5);
  LblDesignSize = new QLabel;
  LblDesignSize->setObjectName("LblDesignSize");
  settings->addWidget(LblDesignSize, 2, 1, 1, 5);
  settings->addWidget(new QLabel("Outputs kept:"), 3, 0);
  settings->addWidget(LblOutputs, 3, 1, 1, 5);
  settings->setColumnStretch(5, 1);
  return settings;
}

void TFmEnsemble::BuildPlanTable() {
  model_ = new PlanTableModel(session_, this);
  GrdPlan = new QTableView;
  GrdPlan->setObjectName("GrdPlan");
  GrdPlan->setModel(model_);
  GrdPlan->setItemDelegate(new DistributionDelegate(GrdPlan));
  GrdPlan->setSelectionBehavior(QAbstractItemView::SelectRows);
  GrdPlan->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
  GrdPlan->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  GrdPlan->horizontalHeader()->setStretchLastSection(true);
}

QHBoxLayout* TFmEnsemble::BuildCorrelations() {
  correlations_ = new CorrelationTableModel(session_, this);
  GrdCorrelations = new QTableView;
  GrdCorrelations->setObjectName("GrdCorrelations");
  GrdCorrelations->setModel(correlations_);
  GrdCorrelations->setSelectionBehavior(QAbstractItemView::SelectRows);
  GrdCorrelations->horizontalHeader()->setStretchLastSection(true);
  GrdCorrelations->setMaximumHeight(150);
  BtnAddCorrelation = new QPushButton("Ne&w correlation");
  BtnAddCorrelation->setObjectName("BtnAddCorrelation");
  BtnRemoveCorrelation = new QPushButton("Remove correlation");
  BtnRemoveCorrelation->setObjectName("BtnRemoveCorrelation");
  auto* correlationBar = new QHBoxLayout;
  correlationBar->addWidget(new QLabel("Rank correlations:"));
  correlationBar->addStretch();
  correlationBar->addWidget(BtnAddCorrelation);
  correlationBar->addWidget(BtnRemoveCorrelation);
  return correlationBar;
}

QWidget* TFmEnsemble::BuildChartSide() {
  CbOutput = new QComboBox;
  CbOutput->setObjectName("CbOutput");
  CbOutput->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  BuildChartTabs();
  auto* chartSide = new QWidget;
  auto* chartLayout = new QVBoxLayout(chartSide);
  chartLayout->setContentsMargins(0, 0, 0, 0);
  CbTime = new QComboBox;
  CbTime->setObjectName("CbTime");
  CbTime->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  BtnExportChart = new QPushButton("E&xport chart…");
  BtnExportChart->setObjectName("BtnExportChart");
  auto* outputRow = new QHBoxLayout;
  outputRow->addWidget(Labelling("Output s&hown:", CbOutput));
  outputRow->addWidget(CbOutput);
  outputRow->addWidget(Labelling("At &year:", CbTime));
  outputRow->addWidget(CbTime);
  outputRow->addStretch();
  outputRow->addWidget(BtnExportChart);
  chartLayout->addLayout(outputRow);
  chartLayout->addWidget(TabCharts, 1);
  return chartSide;
}

void TFmEnsemble::BuildChartTabs() {
  TabCharts = new QTabWidget;
  TabCharts->setObjectName("TabCharts");
  ChEnvelope = ChartView("ChEnvelope");
  ChTornado = ChartView("ChTornado");
  ChSobol = ChartView("ChSobol");
  ChConvergence = ChartView("ChConvergence");
  ChMorris = ChartView("ChMorris");
  ChFailures = ChartView("ChFailures");
  ChFailurePredictors = ChartView("ChFailurePredictors");
  // Why members failed above, which parameters predict it below.
  auto* failures = new QWidget;
  auto* failuresLayout = new QVBoxLayout(failures);
  failuresLayout->setContentsMargins(0, 0, 0, 0);
  failuresLayout->addWidget(ChFailures, 1);
  failuresLayout->addWidget(ChFailurePredictors, 2);
  TabCharts->addTab(ChEnvelope, "Enve&lope");
  TabCharts->addTab(ChTornado, "&Tornado");
  TabCharts->addTab(ChSobol, "Sobol &indices");
  TabCharts->addTab(ChConvergence, "&Convergence");
  TabCharts->addTab(ChMorris, "Morris scree&ning");
  TabCharts->addTab(failures, "&Failures");
}

QHBoxLayout* TFmEnsemble::BuildRunControls() {
  BtnRun = new QPushButton("&Run");
  BtnStop = new QPushButton("Sto&p");
  BtnResume = new QPushButton("Res&ume");
  BtnRun->setObjectName("BtnRun");
  BtnStop->setObjectName("BtnStop");
  BtnResume->setObjectName("BtnResume");
  PbMembers = new QProgressBar;
  PbMembers->setObjectName("PbMembers");
  PbMembers->setRange(0, 1);
  PbMembers->setValue(0);
  LblProgress = new QLabel("Not run yet");
  LblProgress->setObjectName("LblProgress");
  LblProgress->setMinimumWidth(420);
  LblProgress->setWordWrap(true);
  LblResultsNote = new QLabel;
  LblResultsNote->setObjectName("LblResultsNote");
  LblResultsNote->setWordWrap(true);
  LblResultsNote->setVisible(false);
  auto* runBar = new QHBoxLayout;
  runBar->addWidget(BtnRun);
  runBar->addWidget(BtnStop);
  runBar->addWidget(BtnResume);
  runBar->addWidget(PbMembers, 1);
  runBar->addWidget(LblProgress);
  return runBar;
}

void TFmEnsemble::BuildRedrawTimer() {
  redraw_ = new QTimer(this);
  redraw_->setInterval(kRedrawMs);
  connect(redraw_, &QTimer::timeout, this, [this] {
    if (envelopeStale_) DrawEnvelope();
  });
}

void TFmEnsemble::ConnectPlanCommands() {
  connect(BtnOpenPlan, &QPushButton::clicked, this, [this] { OpenPlan(); });
  connect(BtnSavePlan, &QPushButton::clicked, this, [this] { SavePlan(); });
  connect(BtnAddParameter, &QPushButton::clicked, this, [this] {
    session_.AddRow();
    model_->Reload();
    GrdPlan->setCurrentIndex(model_->index(model_->rowCount() - 1, 0));
    EnableCommands();
  });
  connect(BtnRemoveParameter, &QPushButton::clicked, this, [this] {
    const QModelIndex at = GrdPlan->currentIndex();
    if (!at.isValid()) return;
    session_.RemoveRow(static_cast<std::size_t>(at.row()));
    model_->Reload();
    correlations_->Reload();
    EnableCommands();
  });
  connect(model_, &PlanTableModel::edited, this, [this] {
    correlations_->Reload();  // their problems follow the parameters
    EnableCommands();
  });
}

void TFmEnsemble::ConnectCorrelations() {
  connect(correlations_, &CorrelationTableModel::edited, this, [this] { EnableCommands(); });
  connect(BtnAddCorrelation, &QPushButton::clicked, this, [this] {
    session_.AddCorrelation();
    correlations_->Reload();
    GrdCorrelations->setCurrentIndex(correlations_->index(correlations_->rowCount() - 1, 0));
    EnableCommands();
  });
  connect(BtnRemoveCorrelation, &QPushButton::clicked, this, [this] {
    const QModelIndex at = GrdCorrelations->currentIndex();
    if (!at.isValid()) return;
    session_.RemoveCorrelation(static_cast<std::size_t>(at.row()));
    correlations_->Reload();
    EnableCommands();
  });
}

void TFmEnsemble::ConnectDesignSettings() {
  connect(EdMembers, &QSpinBox::valueChanged, this, [this](int n) {
    session_.SetMembers(n);
    EnableCommands();
  });
  connect(EdSeed, &QLineEdit::textEdited, this, [this](const QString& text) {
    session_.SetSeed(text.toULongLong());
    EnableCommands();
  });
  connect(CbMethod, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (i >= 0) session_.SetMethod(kMethods[i]);
    EnableCommands();
  });
}

void TFmEnsemble::ConnectRunControls() {
  connect(BtnRun, &QPushButton::clicked, this, [this] { Start(false); });
  connect(BtnResume, &QPushButton::clicked, this, [this] { Start(true); });
  connect(BtnStop, &QPushButton::clicked, this, [this] {
    session_.Stop();
    BtnStop->setEnabled(false);
    LblProgress->setText(LblProgress->text() + " – stopping after the members in flight");
  });
}

void TFmEnsemble::ConnectCharts() {
  connect(CbOutput, &QComboBox::currentIndexChanged, this, [this] {
    FillTimes();
    DrawEnvelope();
    if (!session_.Running()) DrawFigures();
  });
  connect(CbTime, &QComboBox::currentIndexChanged, this, [this] {
    if (!session_.Running()) DrawFigures();
  });
  connect(BtnExportChart, &QPushButton::clicked, this, [this] { ExportChart(); });
}

void TFmEnsemble::Open(std::optional<ensemble::Method> design) {
  if (design) {
    session_.SetMethod(*design);
    ShowPlan();
  }
  show();
  raise();
  activateWindow();
}

void TFmEnsemble::closeEvent(QCloseEvent* event) {
  // A run goes on while the window is hidden; reopening shows its progress.
  event->accept();
}

void TFmEnsemble::OpenPlan() {
  if (!session_.OpenPlanDialog()) return;
  ShowPlan();
  ShowResults();
}

void TFmEnsemble::OpenPlanFile(const std::string& fileName) {
  if (session_.Running() || !session_.OpenPlan(fileName)) return;
  ShowPlan();
  ShowResults();
}

bool TFmEnsemble::ConfirmClose() {
  const bool closed = session_.ConfirmClose();
  ShowPlan();
  return closed;
}

void TFmEnsemble::SavePlan() {
  if (session_.SavePlanDialog()) ShowPlan();
}

void TFmEnsemble::ShowResults() {
  FillOutputs();
  FillTimes();
  DrawEnvelope();
  DrawFigures();
  ShowProgress(session_.Progress());
}

void TFmEnsemble::Start(bool resume) {
  if (!(resume ? session_.Resume() : session_.Run())) {
    EnableCommands();
    return;
  }
  wasRunning_ = true;
  FillOutputs();
  DrawEnvelope();
  for (QChartView* v :
       {ChTornado, ChSobol, ChConvergence, ChMorris, ChFailures, ChFailurePredictors})
    Replace(v, Placeholder("Shown once the run ends"));
  TabCharts->setCurrentWidget(ChEnvelope);
  ShowProgress(session_.Progress());
  redraw_->start();
  EnableCommands();
}

void TFmEnsemble::ShowPlan() {
  model_->Reload();
  correlations_->Reload();
  const QSignalBlocker members(EdMembers), seed(EdSeed), method(CbMethod);
  EdMembers->setValue(session_.Members());
  EdSeed->setText(QString::number(session_.Seed()));
  for (int i = 0; i < static_cast<int>(std::size(kMethods)); ++i)
    if (kMethods[i] == session_.DesignMethod()) CbMethod->setCurrentIndex(i);
  LblPlanFile->setText(session_.PlanFile().empty() ? "(none: open a plan)"
                                                   : Q(session_.PlanFile()));
  LblOutputs->setText(Q(OutputsText(session_.Outputs())));
  EnableCommands();
}

void TFmEnsemble::ShowProgress(const ensemble::RunProgress& p) {
  PbMembers->setRange(0, static_cast<int>(std::max<std::size_t>(p.total, 1)));
  PbMembers->setValue(static_cast<int>(p.finished));
  LblProgress->setText(Q(ensemble::ProgressText(p)));
  LblResultsNote->setText(Q(session_.ResultsNote()));
  LblResultsNote->setVisible(!session_.ResultsNote().empty());
}

void TFmEnsemble::EnableCommands() {
  const bool running = session_.Running();
  for (QWidget* w :
       std::initializer_list<QWidget*>{BtnOpenPlan, BtnSavePlan, BtnAddParameter,
                                       BtnRemoveParameter, EdMembers, EdSeed, CbMethod, GrdPlan})
    w->setEnabled(!running);
  BtnRun->setEnabled(!running && !session_.PlanFile().empty());
  BtnStop->setEnabled(running);
  BtnResume->setEnabled(session_.CanResume() && !session_.Changed());
  for (QWidget* w :
       std::initializer_list<QWidget*>{BtnAddCorrelation, BtnRemoveCorrelation, GrdCorrelations})
    w->setEnabled(!running);
  // What the members field counts, and what Run will make of it.
  LblMembers->setText(ensemble::MembersCaption(session_.DesignMethod()));
  EdMembers->setEnabled(!running && session_.DesignMethod() != ensemble::Method::kOneAtATime);
  LblDesignSize->setText(Q(session_.DesignSizeText()));
  BtnExportChart->setEnabled(CbOutput->count() > 0);
  const QString plan = Q(std::filesystem::path(session_.PlanFile()).filename().string());
  setWindowTitle(plan.isEmpty() ? "Ensemble"
                                : "Ensemble – " + plan + (session_.Changed() ? " *" : "") +
                                      (running ? " – running" : ""));
}

void TFmEnsemble::MembersFinished() {
  const ensemble::RunProgress p = session_.Progress();
  ShowProgress(p);
  envelopeStale_ = true;
  if (p.running || !wasRunning_) return;
  wasRunning_ = false;
  redraw_->stop();
  session_.FinishRun();
  FillTimes();
  DrawEnvelope();
  DrawFigures();
  ShowProgress(session_.Progress());
  EnableCommands();
}

void TFmEnsemble::FillOutputs() {
  const QSignalBlocker quiet(CbOutput);
  const int at = CbOutput->currentIndex();
  CbOutput->clear();
  for (const std::string& v : session_.Variables()) CbOutput->addItem(Q(v));
  if (at >= 0 && at < CbOutput->count()) CbOutput->setCurrentIndex(at);
  BtnExportChart->setEnabled(CbOutput->count() > 0);
}

void TFmEnsemble::FillTimes() {
  const QSignalBlocker quiet(CbTime);
  const QVariant was = CbTime->currentData();
  CbTime->clear();
  if (CbOutput->currentIndex() < 0) return;
  for (const auto& [index, year] :
       session_.RecordedTimes(static_cast<std::size_t>(CbOutput->currentIndex())))
    CbTime->addItem(QString::number(year, 'g', 10), QVariant::fromValue<qulonglong>(index));
  const int kept = was.isValid() ? CbTime->findData(was) : -1;
  CbTime->setCurrentIndex(kept >= 0 ? kept : CbTime->count() - 1);  // the last time by default
}

std::optional<std::size_t> TFmEnsemble::ChosenTime() const {
  if (CbTime->currentIndex() < 0) return std::nullopt;
  return static_cast<std::size_t>(CbTime->currentData().toULongLong());
}

void TFmEnsemble::ExportChart() {
  if (CbOutput->currentIndex() < 0) return;
  const int tab = TabCharts->currentIndex();
  QChartView* view = tab == TabCharts->indexOf(ChEnvelope)      ? ChEnvelope
                     : tab == TabCharts->indexOf(ChTornado)     ? ChTornado
                     : tab == TabCharts->indexOf(ChSobol)       ? ChSobol
                     : tab == TabCharts->indexOf(ChConvergence) ? ChConvergence
                     : tab == TabCharts->indexOf(ChMorris)      ? ChMorris
                                                                : ChFailures;
  const auto chosen = CurrentPrompter().SaveFile({.title = "Export chart",
                                                  .filter = kChartFileFilter,
                                                  .defaultExtension = "png",
                                                  .initialName = {},
                                                  .confirmOverwrite = true});
  if (!chosen || chosen->empty()) return;
  try {
    if (!ChartFileFormatOf(*chosen))
      throw std::invalid_argument(UnknownChartFormatMessage(*chosen));
    SaveChartFile(*view, *chosen);
    session_.WriteFigureData(FigureOfTab(tab), static_cast<std::size_t>(CbOutput->currentIndex()),
                             ChosenTime(), *chosen);
  } catch (const std::exception& e) {
    CurrentPrompter().Message(MessageKind::kError, MessageButtons::kOk, e.what());
  }
}

void TFmEnsemble::Replace(QChartView* view, QChart* chart) {
  QChart* old = view->chart();
  view->setChart(chart);
  delete old;
}

void TFmEnsemble::DrawEnvelope() {
  envelopeStale_ = false;
  if (CbOutput->currentIndex() < 0) return;
  if (session_.Progress().finished == 0) {
    Replace(ChEnvelope, Placeholder("The envelope fills in as the members finish"));
    return;
  }
  Replace(ChEnvelope,
          MakeEnvelopeChart(session_.Envelope(static_cast<std::size_t>(CbOutput->currentIndex()))));
}

void TFmEnsemble::DrawFigures() {
  if (CbOutput->currentIndex() < 0) return;
  const auto v = static_cast<std::size_t>(CbOutput->currentIndex());
  const std::optional<std::size_t> time = ChosenTime();
  const auto tornado = session_.Tornado(v, time);
  Replace(ChTornado,
          tornado ? MakeTornadoChart(*tornado) : Placeholder("No member has this output"));
  const auto sobol = session_.Sobol(v, time);
  Replace(ChSobol,
          sobol ? MakeSobolChart(*sobol)
                : Placeholder("Sobol indices need a run of the Sobol design with at least 16 "
                              "base points whose members are all done"));
  const auto convergence = session_.Convergence(v, time);
  Replace(ChConvergence,
          convergence ? MakeConvergenceChart(*convergence)
                      : Placeholder("Convergence needs a run of the Sobol design with at least 16 "
                                    "base points whose members are all done"));
  const auto morris = session_.Morris(v, time);
  Replace(ChMorris,
          morris ? MakeMorrisChart(*morris)
                 : Placeholder("Morris effects need a run of the Morris design with at least "
                               "4 steps between members done per parameter"));
  const FailuresChartData failures = session_.Failures();
  Replace(ChFailures,
          failures.counts.empty() ? Placeholder("No member failed") : MakeFailuresChart(failures));
  const auto predictors = session_.FailurePredictors();
  Replace(ChFailurePredictors,
          predictors ? MakeTornadoChart(*predictors)
                     : Placeholder("Which parameters predict failure is shown once at least 3 "
                                   "members failed and 3 are done"));
}

}  // namespace kvsorv
