#include "windows/ensemble/ensemble_window.h"

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
#include <cmath>
#include <filesystem>

#include "windows/common/qt_text.h"
#include "windows/display/ensemble_charts.h"
#include "windows/ensemble/distribution_delegate.h"
#include "windows/ensemble/plan_table_model.h"

namespace kvsorv {

namespace {

constexpr int kRedrawMs = 300;

const ensemble::Method kMethods[] = {ensemble::Method::kMonteCarlo,
                                     ensemble::Method::kLatinHypercube, ensemble::Method::kSobol,
                                     ensemble::Method::kMorris, ensemble::Method::kOneAtATime};
const char* const kMethodCaptions[] = {"Monte Carlo (mc)", "Latin hypercube (lhs)",
                                       "Sobol indices (sobol)", "Morris screening (morris)",
                                       "One at a time (oat)"};

QString Duration(double seconds) {
  if (!(seconds > 0) || !std::isfinite(seconds)) return "–";
  const long s = std::lround(seconds);
  if (s < 60) return QString("%1 s").arg(s);
  if (s < 3600) return QString("%1 min %2 s").arg(s / 60).arg(s % 60);
  return QString("%1 h %2 min").arg(s / 3600).arg(s % 3600 / 60);
}

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

QChart* Placeholder(const QString& text) {
  auto* chart = new QChart;
  chart->setTitle(text);
  return chart;
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
}

void TFmEnsemble::Build() {
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
  settings->addWidget(Labelling("&Members:", EdMembers), 1, 0);
  settings->addWidget(EdMembers, 1, 1);
  settings->addWidget(Labelling("S&eed:", EdSeed), 1, 2);
  settings->addWidget(EdSeed, 1, 3);
  settings->addWidget(Labelling("&Design:", CbMethod), 1, 4);
  settings->addWidget(CbMethod, 1, 5);
  settings->addWidget(new QLabel("Outputs kept:"), 2, 0);
  settings->addWidget(LblOutputs, 2, 1, 1, 5);
  settings->setColumnStretch(5, 1);

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

  auto* planSide = new QWidget;
  auto* planLayout = new QVBoxLayout(planSide);
  planLayout->setContentsMargins(0, 0, 0, 0);
  planLayout->addLayout(planBar);
  planLayout->addLayout(settings);
  planLayout->addWidget(GrdPlan, 1);

  CbOutput = new QComboBox;
  CbOutput->setObjectName("CbOutput");
  CbOutput->setSizeAdjustPolicy(QComboBox::AdjustToContents);
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
  auto* chartSide = new QWidget;
  auto* chartLayout = new QVBoxLayout(chartSide);
  chartLayout->setContentsMargins(0, 0, 0, 0);
  auto* outputRow = new QHBoxLayout;
  outputRow->addWidget(Labelling("Output s&hown:", CbOutput));
  outputRow->addWidget(CbOutput);
  outputRow->addStretch();
  chartLayout->addLayout(outputRow);
  chartLayout->addWidget(TabCharts, 1);

  auto* split = new QSplitter(Qt::Horizontal);
  split->addWidget(planSide);
  split->addWidget(chartSide);
  split->setStretchFactor(0, 2);
  split->setStretchFactor(1, 3);

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
  auto* runBar = new QHBoxLayout;
  runBar->addWidget(BtnRun);
  runBar->addWidget(BtnStop);
  runBar->addWidget(BtnResume);
  runBar->addWidget(PbMembers, 1);
  runBar->addWidget(LblProgress);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(split, 1);
  layout->addLayout(runBar);
  resize(1280, 720);

  redraw_ = new QTimer(this);
  redraw_->setInterval(kRedrawMs);
  connect(redraw_, &QTimer::timeout, this, [this] {
    if (envelopeStale_) DrawEnvelope();
  });

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
    EnableCommands();
  });
  connect(model_, &PlanTableModel::edited, this, [this] { EnableCommands(); });
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
  });
  connect(BtnRun, &QPushButton::clicked, this, [this] { Start(false); });
  connect(BtnResume, &QPushButton::clicked, this, [this] { Start(true); });
  connect(BtnStop, &QPushButton::clicked, this, [this] {
    session_.Stop();
    BtnStop->setEnabled(false);
    LblProgress->setText(LblProgress->text() + " – stopping after the members in flight");
  });
  connect(CbOutput, &QComboBox::currentIndexChanged, this, [this] {
    DrawEnvelope();
    if (!session_.Running()) DrawFigures();
  });
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
  if (session_.OpenPlanDialog()) ShowPlan();
}

void TFmEnsemble::SavePlan() {
  if (session_.SavePlanDialog()) ShowPlan();
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
  QString text = QString("%1 of %2 members, %3 failed").arg(p.finished).arg(p.total).arg(p.failed);
  if (p.membersPerSecond > 0)
    text +=
        QString(", %1 members/s").arg(p.membersPerSecond, 0, 'f', p.membersPerSecond < 10 ? 2 : 1);
  if (p.running) text += ", " + Duration(p.secondsLeft) + " left";
  LblProgress->setText(text);
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
}

void TFmEnsemble::Replace(QChartView* view, QChart* chart) {
  QChart* old = view->chart();
  view->setChart(chart);
  delete old;
}

void TFmEnsemble::DrawEnvelope() {
  envelopeStale_ = false;
  if (CbOutput->currentIndex() < 0) return;
  Replace(ChEnvelope,
          MakeEnvelopeChart(session_.Envelope(static_cast<std::size_t>(CbOutput->currentIndex()))));
}

void TFmEnsemble::DrawFigures() {
  if (CbOutput->currentIndex() < 0) return;
  const auto v = static_cast<std::size_t>(CbOutput->currentIndex());
  const auto tornado = session_.Tornado(v);
  Replace(ChTornado,
          tornado ? MakeTornadoChart(*tornado) : Placeholder("No member has this output"));
  const auto sobol = session_.Sobol(v);
  Replace(ChSobol,
          sobol ? MakeSobolChart(*sobol)
                : Placeholder("Sobol indices need a run of the Sobol design with at least 16 "
                              "base points whose members are all done"));
  const auto convergence = session_.Convergence(v);
  Replace(ChConvergence,
          convergence ? MakeConvergenceChart(*convergence)
                      : Placeholder("Convergence needs a run of the Sobol design with at least 16 "
                                    "base points whose members are all done"));
  const auto morris = session_.Morris(v);
  Replace(ChMorris,
          morris ? MakeMorrisChart(*morris)
                 : Placeholder("Morris effects need a run of the Morris design with at least "
                               "4 steps between members done per parameter"));
  Replace(ChFailures, MakeFailuresChart(session_.Failures()));
  const auto predictors = session_.FailurePredictors();
  Replace(ChFailurePredictors,
          predictors ? MakeTornadoChart(*predictors)
                     : Placeholder("Which parameters predict failure is shown once at least 3 "
                                   "members failed and 3 are done"));
}

}  // namespace kvsorv
