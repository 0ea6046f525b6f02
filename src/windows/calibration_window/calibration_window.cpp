#include "windows/calibration_window/calibration_window.h"

#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <filesystem>

#include "ensemble_window/plan_table.h"
#include "program/prompter.h"
#include "windows/charts/calibration_charts.h"
#include "windows/charts/ensemble_charts.h"
#include "windows/common/qt_text.h"
#include "windows/ensemble_window/distribution_delegate.h"

namespace kvsorv {

namespace {

using calibration::Job;

constexpr int kRefreshMilliseconds = 500;
constexpr std::size_t kFitDraws = 40;  // posterior draws run for the fit's envelope
constexpr int kPosteriorMembers = 200;

QChart* Placeholder(const QString& text) {
  auto* chart = new QChart;
  chart->setTitle(text);
  chart->legend()->hide();
  return chart;
}

QPushButton* Button(const char* name, const char* text) {
  auto* b = new QPushButton(text);
  b->setObjectName(name);
  return b;
}

QLabel* Label(const char* name, const QString& text = {}) {
  auto* l = new QLabel(text);
  l->setObjectName(name);
  l->setWordWrap(true);
  return l;
}

QSpinBox* Spin(const char* name, int low, int high) {
  auto* s = new QSpinBox;
  s->setObjectName(name);
  s->setRange(low, high);
  return s;
}

QChartView* ChartView(const char* name) {
  auto* v =
      new QChartView(Placeholder("Run the sampler: the chart fills in as generations finish"));
  v->setObjectName(name);
  v->setRenderHint(QPainter::Antialiasing);
  return v;
}

}  // namespace

TFmCalibrate::TFmCalibrate(std::function<void(const std::string&)> openEnsemble, QWidget* owner)
    : QWidget(owner, Qt::Window) {
  setObjectName("TFmCalibrate");
  setWindowTitle("Calibrate");
  session_.SetOpenEnsemble(std::move(openEnsemble));
  auto* splitter = new QSplitter;
  splitter->addWidget(BuildPlanSide());
  splitter->addWidget(BuildRunSide());
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({600, 900});
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(splitter);
  TmRefresh = new QTimer(this);
  TmRefresh->setObjectName("TmRefresh");
  TmRefresh->setInterval(kRefreshMilliseconds);
  Connect();
  resize(1200, 760);
  ShowPlan();
}

TFmCalibrate::~TFmCalibrate() {
  // The views and their models read the session: they go while it is still there.
  qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
}

QWidget* TFmCalibrate::BuildPlanSide() {
  auto* side = new QWidget;
  auto* v = new QVBoxLayout(side);
  auto* bar = new QHBoxLayout;
  BtnNewPlan = Button("BtnNewPlan", "&New from Site");
  BtnOpenPlan = Button("BtnOpenPlan", "&Open Plan...");
  BtnSavePlan = Button("BtnSavePlan", "&Save Plan...");
  for (QPushButton* b : {BtnNewPlan, BtnOpenPlan, BtnSavePlan}) bar->addWidget(b);
  v->addLayout(bar);
  LblPlanFile = Label("LblPlanFile");
  v->addWidget(LblPlanFile);

  v->addWidget(new QLabel("Parameters to calibrate and their priors:"));
  GrdPriors = new QTableWidget(0, 2 + ensemble::kMostArguments);
  GrdPriors->setObjectName("GrdPriors");
  QStringList headers{"Parameter", "Prior"};
  for (int a = 1; a <= ensemble::kMostArguments; ++a) headers << QString("Argument %1").arg(a);
  GrdPriors->setHorizontalHeaderLabels(headers);
  GrdPriors->setItemDelegateForColumn(1, new DistributionDelegate(GrdPriors));
  GrdPriors->verticalHeader()->hide();
  GrdPriors->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  GrdPriors->horizontalHeader()->setStretchLastSection(true);
  v->addWidget(GrdPriors, 2);
  auto* rows = new QHBoxLayout;
  BtnAddParameter = Button("BtnAddParameter", "&Add Parameter");
  BtnRemoveParameter = Button("BtnRemoveParameter", "Remo&ve Parameter");
  rows->addWidget(BtnAddParameter);
  rows->addWidget(BtnRemoveParameter);
  rows->addStretch();
  v->addLayout(rows);

  auto* files = new QHBoxLayout;
  LblObservationFiles = Label("LblObservationFiles");
  BtnAddObservations = Button("BtnAddObservations", "Add O&bservations...");
  CbErrorModel = new QComboBox;
  CbErrorModel->setObjectName("CbErrorModel");
  CbErrorModel->addItems({"gaussian", "lognormal"});
  files->addWidget(LblObservationFiles, 1);
  files->addWidget(new QLabel("Error:"));
  files->addWidget(CbErrorModel);
  files->addWidget(BtnAddObservations);
  v->addLayout(files);
  GrdObservations = new QTableWidget(0, 4);
  GrdObservations->setObjectName("GrdObservations");
  GrdObservations->setHorizontalHeaderLabels({"Time", "Output", "Value", "Error (sd)"});
  GrdObservations->setEditTriggers(QAbstractItemView::NoEditTriggers);
  GrdObservations->verticalHeader()->hide();
  GrdObservations->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  v->addWidget(GrdObservations, 2);
  LblObservationProblem = Label("LblObservationProblem");
  LblObservationProblem->setStyleSheet("color: #a00000");
  v->addWidget(LblObservationProblem);

  auto* form = new QFormLayout;
  CbMethod = new QComboBox;
  CbMethod->setObjectName("CbMethod");
  CbMethod->addItems({"dezs", "am"});
  EdChains = Spin("EdChains", 3, 10000);
  EdGenerations = Spin("EdGenerations", 1, 100000000);
  EdBurnIn = Spin("EdBurnIn", 0, 100000000);
  EdThinning = Spin("EdThinning", 1, 1000000);
  form->addRow("Sampler:", CbMethod);
  form->addRow("Chains:", EdChains);
  form->addRow("Generations:", EdGenerations);
  form->addRow("Burn-in:", EdBurnIn);
  form->addRow("Thinning:", EdThinning);
  v->addLayout(form);
  return side;
}

QWidget* TFmCalibrate::BuildRunSide() {
  auto* side = new QWidget;
  auto* v = new QVBoxLayout(side);
  auto* run = new QHBoxLayout;
  BtnFit = Button("BtnFit", "&Fit");
  BtnRun = Button("BtnRun", "&Run Sampler");
  BtnStop = Button("BtnStop", "S&top");
  BtnResume = Button("BtnResume", "Res&ume");
  BtnContinue = Button("BtnContinue", "&Continue");
  BtnContinue->setToolTip("Runs the generations the verdict says are still needed");
  for (QPushButton* b : {BtnFit, BtnRun, BtnStop, BtnResume, BtnContinue}) run->addWidget(b);
  run->addStretch();
  v->addLayout(run);
  LblProgress = Label("LblProgress");
  v->addWidget(LblProgress);

  auto* choose = new QHBoxLayout;
  CbQuantity = new QComboBox;
  CbQuantity->setObjectName("CbQuantity");
  CbPairWith = new QComboBox;
  CbPairWith->setObjectName("CbPairWith");
  CbOutput = new QComboBox;
  CbOutput->setObjectName("CbOutput");
  choose->addWidget(new QLabel("Quantity:"));
  choose->addWidget(CbQuantity);
  choose->addWidget(new QLabel("Pair with:"));
  choose->addWidget(CbPairWith);
  choose->addWidget(new QLabel("Observed output:"));
  choose->addWidget(CbOutput);
  choose->addStretch();
  v->addLayout(choose);

  TabCharts = new QTabWidget;
  TabCharts->setObjectName("TabCharts");
  ChTrace = ChartView("ChTrace");
  ChMarginal = ChartView("ChMarginal");
  ChPairs = ChartView("ChPairs");
  ChFit = ChartView("ChFit");
  TabCharts->addTab(ChTrace, "Trac&e");
  TabCharts->addTab(ChMarginal, "&Marginals");
  TabCharts->addTab(ChPairs, "&Pairs");
  TabCharts->addTab(ChFit, "F&it");
  v->addWidget(TabCharts, 3);
  LblVerdict = Label("LblVerdict");
  LblVerdict->setTextInteractionFlags(Qt::TextSelectableByMouse);
  QFont mono("monospace");
  mono.setStyleHint(QFont::TypeWriter);
  LblVerdict->setFont(mono);
  v->addWidget(LblVerdict, 1);
  auto* carry = new QHBoxLayout;
  BtnToEnsemble = Button("BtnToEnsemble", "Posterior to Ensemb&le...");
  BtnWriteMode = Button("BtnWriteMode", "Write Mo&de to Parameter File");
  carry->addWidget(BtnToEnsemble);
  carry->addWidget(BtnWriteMode);
  carry->addStretch();
  v->addLayout(carry);
  return side;
}

void TFmCalibrate::Connect() {
  connect(TmRefresh, &QTimer::timeout, this, [this] { Refresh(); });
  connect(BtnNewPlan, &QPushButton::clicked, this, [this] {
    session_.NewPlan();
    ShowPlan();
  });
  connect(BtnOpenPlan, &QPushButton::clicked, this, [this] {
    if (session_.OpenPlanDialog()) ShowPlan();
  });
  connect(BtnSavePlan, &QPushButton::clicked, this, [this] {
    if (session_.SavePlanDialog()) ShowPlan();
  });
  connect(BtnAddParameter, &QPushButton::clicked, this, [this] {
    session_.AddRow();
    ShowPlan();
  });
  connect(BtnRemoveParameter, &QPushButton::clicked, this, [this] {
    const int row = GrdPriors->currentRow();
    if (row < 0 || row >= static_cast<int>(session_.Rows().size())) return;
    session_.RemoveRow(static_cast<std::size_t>(row));
    ShowPlan();
  });
  connect(GrdPriors, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (!showing_) PriorEdited(item->row());
  });
  connect(BtnAddObservations, &QPushButton::clicked, this, [this] { AddObservations(); });
  connect(CbErrorModel, &QComboBox::currentIndexChanged, this, [this] { SettingsEdited(); });
  connect(CbMethod, &QComboBox::currentIndexChanged, this, [this] {
    if (!showing_) session_.SetMethod(S(CbMethod->currentText()));
  });
  for (QSpinBox* s : {EdChains, EdGenerations, EdBurnIn, EdThinning})
    connect(s, &QSpinBox::valueChanged, this, [this] { SettingsEdited(); });
  connect(BtnFit, &QPushButton::clicked, this, [this] { Start(Job::kFit, false); });
  connect(BtnRun, &QPushButton::clicked, this, [this] { Start(Job::kSample, false); });
  connect(BtnResume, &QPushButton::clicked, this, [this] { Start(Job::kSample, true); });
  connect(BtnContinue, &QPushButton::clicked, this, [this] {
    if (!session_.Continue()) return;
    ran_ = true;
    drawnGenerations_ = static_cast<std::size_t>(-1);
    TmRefresh->start();
    Refresh();
  });
  connect(BtnStop, &QPushButton::clicked, this, [this] {
    session_.Stop();
    BtnStop->setEnabled(false);
  });
  connect(CbQuantity, &QComboBox::currentIndexChanged, this, [this] {
    if (!showing_) DrawCharts(false);
  });
  connect(CbPairWith, &QComboBox::currentIndexChanged, this, [this] {
    if (!showing_) DrawCharts(false);
  });
  connect(CbOutput, &QComboBox::currentIndexChanged, this, [this] {
    if (!showing_) DrawFit();
  });
  connect(BtnToEnsemble, &QPushButton::clicked, this,
          [this] { session_.WritePosteriorEnsemble(kPosteriorMembers); });
  connect(BtnWriteMode, &QPushButton::clicked, this, [this] { session_.WritePosteriorMode(); });
}

void TFmCalibrate::Open() {
  show();
  raise();
  activateWindow();
}

void TFmCalibrate::OpenPlanFile(const std::string& fileName) {
  if (session_.OpenPlan(fileName)) ShowPlan();
}

bool TFmCalibrate::ConfirmClose() {
  return session_.ConfirmClose();
}

void TFmCalibrate::closeEvent(QCloseEvent* event) {
  // A run goes on while the window is hidden; reopening shows its progress.
  event->accept();
}

void TFmCalibrate::ShowPlan() {
  showing_ = true;
  const std::string& file = session_.PlanFile();
  LblPlanFile->setText(file.empty() ? "Plan: new (not saved)" : Q("Plan: " + file));
  const auto& rows = session_.Rows();
  GrdPriors->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    const ensemble::PlanRow& row = rows[static_cast<std::size_t>(r)];
    GrdPriors->setItem(r, 0, new QTableWidgetItem(Q(row.symbol)));
    GrdPriors->setItem(r, 1, new QTableWidgetItem(Q(row.distribution)));
    for (int a = 0; a < ensemble::kMostArguments; ++a) {
      const auto& names = ensemble::ArgumentNames(row.distribution);
      auto* item = new QTableWidgetItem(
          a < static_cast<int>(row.arguments.size()) ? Q(row.arguments[a]) : QString());
      if (a < static_cast<int>(names.size())) item->setToolTip(Q(names[a]));
      GrdPriors->setItem(r, 2 + a, item);
    }
    const std::string problem = ensemble::RowProblem(rows, static_cast<std::size_t>(r));
    for (int c = 0; c < GrdPriors->columnCount(); ++c) {
      GrdPriors->item(r, c)->setBackground(problem.empty() ? QBrush() : QColor(255, 225, 225));
      if (!problem.empty()) GrdPriors->item(r, c)->setToolTip(Q(problem));
    }
  }
  const auto& plan = session_.Plan();
  QStringList names;
  for (const auto& o : plan.observations)
    names << Q(std::filesystem::path(o.file).filename().string());
  LblObservationFiles->setText("Observations: " + (names.empty() ? "none" : names.join(", ")));
  if (!plan.observations.empty())
    CbErrorModel->setCurrentIndex(
        plan.observations.front().model == calibration::ErrorModel::kLogNormal ? 1 : 0);
  CbMethod->setCurrentText(Q(session_.Method()));
  EdChains->setValue(plan.sampler.chains);
  EdGenerations->setValue(plan.sampler.generations);
  EdBurnIn->setValue(plan.sampler.burnIn);
  EdThinning->setValue(plan.sampler.thinning);
  showing_ = false;
  ShowObservations();
  drawnGenerations_ = static_cast<std::size_t>(-1);
  DrawCharts(true);
  Refresh();
}

void TFmCalibrate::ShowObservations() {
  const auto lines = session_.Observations();
  GrdObservations->setRowCount(static_cast<int>(lines.size()));
  for (int r = 0; r < static_cast<int>(lines.size()); ++r) {
    const auto& o = lines[static_cast<std::size_t>(r)];
    GrdObservations->setItem(r, 0, new QTableWidgetItem(QString::number(o.time, 'g', 10)));
    GrdObservations->setItem(r, 1, new QTableWidgetItem(Q(o.output)));
    GrdObservations->setItem(r, 2, new QTableWidgetItem(QString::number(o.value, 'g', 8)));
    GrdObservations->setItem(r, 3, new QTableWidgetItem(QString::number(o.error, 'g', 6)));
  }
  const std::string problem = session_.ObservationProblem();
  LblObservationProblem->setText(Q(problem));
  LblObservationProblem->setVisible(!problem.empty());
}

void TFmCalibrate::PriorEdited(int r) {
  if (r < 0 || r >= static_cast<int>(session_.Rows().size())) return;
  ensemble::PlanRow row;
  row.symbol = S(GrdPriors->item(r, 0) ? GrdPriors->item(r, 0)->text() : QString()).c_str();
  row.distribution = S(GrdPriors->item(r, 1) ? GrdPriors->item(r, 1)->text() : QString());
  const std::size_t count = ensemble::ArgumentNames(row.distribution).size();
  for (std::size_t a = 0; a < count; ++a) {
    const QTableWidgetItem* item = GrdPriors->item(r, 2 + static_cast<int>(a));
    row.arguments.push_back(item ? S(item->text().trimmed()) : std::string());
  }
  session_.SetRow(static_cast<std::size_t>(r), row);
  QTimer::singleShot(0, this, [this] { ShowPlan(); });
}

void TFmCalibrate::SettingsEdited() {
  if (showing_) return;
  calibration::SamplerSettings s = session_.Plan().sampler;
  s.chains = EdChains->value();
  s.generations = EdGenerations->value();
  s.burnIn = EdBurnIn->value();
  s.thinning = EdThinning->value();
  session_.SetSampler(s);
  auto files = session_.Plan().observations;
  for (auto& f : files)
    f.model = CbErrorModel->currentIndex() == 1 ? calibration::ErrorModel::kLogNormal
                                                : calibration::ErrorModel::kGaussian;
  session_.SetObservationFiles(files);
  ShowObservations();
  EnableCommands();
}

void TFmCalibrate::AddObservations() {
  const auto chosen =
      CurrentPrompter().OpenFile({.title = "Add observations",
                                  .filter = "Observations (*.csv)|*.csv|All files|*.*",
                                  .defaultExtension = "csv",
                                  .initialName = {},
                                  .fileMustExist = true});
  if (!chosen || chosen->empty()) return;
  auto files = session_.Plan().observations;
  files.push_back({.file = *chosen,
                   .model = CbErrorModel->currentIndex() == 1
                                ? calibration::ErrorModel::kLogNormal
                                : calibration::ErrorModel::kGaussian});
  session_.SetObservationFiles(files);
  ShowPlan();
}

void TFmCalibrate::Start(Job job, bool resume) {
  const bool started = job == Job::kFit ? session_.Fit()
                       : resume         ? session_.Resume()
                                        : session_.Sample();
  if (!started) return;
  ran_ = true;
  drawnGenerations_ = static_cast<std::size_t>(-1);
  TmRefresh->start();
  Refresh();
}

void TFmCalibrate::Refresh() {
  if (ran_ && !session_.Running()) {
    // The run has ended: its failure, if any, is shown, and everything is drawn afresh.
    ran_ = false;
    TmRefresh->stop();
    session_.FinishRun();
    LblProgress->setText(Q(session_.ProgressText()));
    DrawCharts(true);
    EnableCommands();
    return;
  }
  LblProgress->setText(Q(session_.ProgressText()));
  DrawCharts(false);
  EnableCommands();
}

void TFmCalibrate::EnableCommands() {
  const bool running = session_.Running();
  const std::string& file = session_.PlanFile();
  QString title = "Calibrate";
  if (!file.empty()) title += " – " + Q(std::filesystem::path(file).filename().string());
  if (running) title += " (running)";
  if (windowTitle() != title) setWindowTitle(title);
  const bool chains = session_.Chains() != nullptr;
  for (QWidget* w : std::initializer_list<QWidget*>{
           BtnNewPlan, BtnOpenPlan, BtnSavePlan, BtnAddParameter, BtnRemoveParameter,
           BtnAddObservations, CbErrorModel, CbMethod, EdChains, EdGenerations, EdBurnIn,
           EdThinning, GrdPriors})
    w->setEnabled(!running);
  BtnFit->setEnabled(!running);
  BtnRun->setEnabled(!running);
  BtnStop->setEnabled(running && session_.RunningJob() == Job::kSample &&
                      !session_.RunFeedback()->IsCanceled());
  BtnResume->setEnabled(session_.CanResume());
  const std::size_t to = running ? 0 : session_.ContinueTo();
  BtnContinue->setEnabled(to > 0);
  BtnContinue->setText(to > 0 ? QString("&Continue to %1").arg(to) : QString("&Continue"));
  BtnToEnsemble->setEnabled(!running && chains);
  BtnWriteMode->setEnabled(!running && !session_.PosteriorMode().empty());
}

void TFmCalibrate::Replace(QChartView* view, QChart* chart) {
  QChart* old = view->chart();
  view->setChart(chart);
  delete old;
}

void TFmCalibrate::DrawCharts(bool withFit) {
  const auto chains = session_.Chains();
  const std::size_t generations = chains ? chains->generations : 0;
  if (!withFit && generations == drawnGenerations_) return;
  drawnGenerations_ = generations;
  const std::vector<std::string> names = session_.Quantities();
  if (CbQuantity->count() != static_cast<int>(names.size())) {
    showing_ = true;
    CbQuantity->clear();
    CbPairWith->clear();
    for (const std::string& n : names) {
      CbQuantity->addItem(Q(n));
      CbPairWith->addItem(Q(n));
    }
    if (names.size() > 1) CbPairWith->setCurrentIndex(1);
    showing_ = false;
  }
  const int q = CbQuantity->currentIndex();
  const int p = CbPairWith->currentIndex();
  const QString later = "Fills in as generations finish";
  if (q < 0 || generations == 0) {
    for (QChartView* v : {ChTrace, ChMarginal, ChPairs})
      Replace(v, Placeholder("Run the sampler: the chart fills in as generations finish"));
  } else {
    const auto trace = session_.Trace(static_cast<std::size_t>(q));
    Replace(ChTrace, trace ? MakeTraceChart(*trace) : Placeholder(later));
    const auto marginal = session_.Marginal(static_cast<std::size_t>(q));
    Replace(ChMarginal, marginal ? MakeMarginalChart(*marginal)
                                 : Placeholder("The marginal density shows once generations "
                                               "past the burn-in are drawn"));
    const auto pairs =
        p >= 0 && p != q ? session_.Pairs(static_cast<std::size_t>(q), static_cast<std::size_t>(p))
                         : std::nullopt;
    Replace(ChPairs, pairs ? MakePairsChart(*pairs)
                           : Placeholder(p == q ? "Choose another quantity to pair with"
                                                : "The pairs show once generations past the "
                                                  "burn-in are drawn"));
  }
  const std::string verdict = session_.Verdict();
  LblVerdict->setText(verdict.empty() ? "No verdict before the sampler has run."
                                      : Q(verdict).trimmed());
  if (withFit) DrawFit();
}

void TFmCalibrate::DrawFit() {
  const std::vector<std::string> outputs = session_.ObservedOutputs();
  if (CbOutput->count() != static_cast<int>(outputs.size())) {
    showing_ = true;
    CbOutput->clear();
    for (const std::string& o : outputs) CbOutput->addItem(Q(o));
    showing_ = false;
  }
  if (session_.Running()) {
    Replace(ChFit, Placeholder("The fit is drawn once the run ends"));
    return;
  }
  const int o = CbOutput->currentIndex();
  const auto fit =
      o >= 0 ? session_.FitOf(outputs[static_cast<std::size_t>(o)], kFitDraws) : std::nullopt;
  Replace(ChFit, fit ? MakeEnvelopeChart(*fit)
                     : Placeholder("The fit shows once generations past the burn-in are drawn"));
}

}  // namespace kvsorv
