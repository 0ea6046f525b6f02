// The solver on the example forest: each check and arithmetic fault with its wrapping kind,
// its exact message and what the working and new sets hold afterwards; the recovery of a
// negative humus C; the insoluble C:N error of the final evaluation; and a second solve
// that takes the model's own values as its inputs.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "model/errors.h"
#include "model/model_indices.h"
#include "model/process_evaluation.h"
#include "program/global_tables.h"
#include "program/program_equations.h"
#include "steady_state/steady_state_solver.h"
#include "support/model_fixture.h"

namespace kvsorv {
namespace {

constexpr const char* kNewValuePrefix =
    "Error calculating new parameter or state variable. New values of parameters and states "
    "but old values of the processes are now shown in the window. Additional Info: ";
constexpr const char* kNewProcessPrefix =
    "Error calculating new processes. New values of parameters, states and processes (except "
    "NPPf, NPPw, NPPr, and NPPt) are now shown in the window. Additional Info: ";
constexpr const char* kInitialProcPrefix =
    "Unable to calculate initial process values using entered data. Parameter, state "
    "variables, and processes have been set to their previous values. Additional Info: ";

// Relative agreement of values computed along different but equivalent paths: a handful of
// roundings of numbers of order 1 to 1e4 stay well inside 1e-12.
bool Close(double a, double b) {
  return std::fabs(a - b) <= 1e-12 * std::max(std::fabs(a), std::fabs(b));
}

class SteadyStateSolverTest : public testing::ModelTest {
 protected:
  // The window's opening on the example forest, with the site's observations entered.
  void SetUp() override {
    ModelTest::SetUp();
    LoadExample();
    WaterCoefficient = 10.0;
    s.SetWindowShown(true);
    s.NewStates() = States;
    s.NewParams() = Params;
    s.NewDrivers() = Drivers;
    s.WorkStates() = States;
    s.WorkParams() = Params;
    s.WorkDrivers() = Drivers;
    ComputeProcesses(s.NewDrivers(), s.NewParams(), s.NewStates(), s.NewProcesses(), 0.0);
    s.WorkProcesses() = s.NewProcesses();
    s.StartProcesses() = s.NewProcesses();
    Enter(proc::NPPf, 200);
    Enter(proc::NPPw, 250);
    Enter(proc::NPPr, 150);
    Enter(proc::Ps, 1200);
    Enter(proc::Cst, 10500);
    Enter(proc::Nst, 440);
  }

  void Enter(int process, double value) { s.WorkProcesses()[process].value = value; }

  // Solves and returns the message of the error raised, "" when the solve succeeded.
  template <typename Kind>
  std::string SolveExpecting() {
    try {
      s.CalculateSteadyState();
    } catch (const Kind& e) {
      return e.Message();
    }
    return "";
  }

  SteadyStateSolver s;
};

TEST_F(SteadyStateSolverTest, InsufficientPhotosynthesisKeepsTheNewLitterfallRatesAndSc) {
  Enter(proc::Ps, 100);
  const processarray shownBefore = s.NewProcesses();
  const std::string message = SolveExpecting<ECalcNewValue>();
  EXPECT_EQ(message, std::string(kNewValuePrefix) +
                         " Insufficient photosynthesis, plant respiration is negative. ");
  EXPECT_NE(message.find("Info:  Insufficient"), std::string::npos);
  for (int k : {prm::AlambdaF, prm::AlambdaW, prm::AlambdaR, prm::Sc}) {
    EXPECT_NE(s.WorkParams()[k].value, Params[k].value) << Params[k].symbol;
    EXPECT_EQ(s.NewParams()[k].value, s.WorkParams()[k].value) << Params[k].symbol;
  }
  // Sc scales with entered over modelled photosynthesis; rm was not reached.
  EXPECT_TRUE(Close(s.WorkParams()[prm::Sc].value, 2.0 * 100 / s.StartProcesses()[proc::Ps].value));
  EXPECT_EQ(s.WorkParams()[prm::rm].value, 10.0);
  EXPECT_EQ(s.NewProcesses(), shownBefore);
}

TEST_F(SteadyStateSolverTest, NegativeHumusCStopsTheSolveAndTheNextSolveRecovers) {
  Enter(proc::Cst, 100);
  EXPECT_EQ(SolveExpecting<ECalcNewValue>(),
            std::string(kNewValuePrefix) + " Humus C is negative.");
  const double Cs = s.WorkStates()[st::Cs].value, Ce = s.WorkStates()[st::Ce].value;
  const double Ci = s.WorkStates()[st::Ci].value;
  EXPECT_EQ(s.WorkStates()[st::Ch].value, 100 - Cs - Ce - Ci);
  EXPECT_LT(s.NewStates()[st::Ch].value, 0.0);
  EXPECT_EQ(s.NewStates()[st::Ci].value, Ci);

  // The next solve evaluates the working states, which raises the negative humus C to
  // 0.00001 (the evaluation's clamp), so it passes the humus check before the derivation
  // and derives humus C afresh from the total soil C now entered.
  Enter(proc::Cst, 10500);
  EXPECT_EQ(SolveExpecting<EMathError>(), "");
  const double rs = s.StartProcesses()[proc::rs].value;
  EXPECT_TRUE(Close(s.StartProcesses()[proc::Rh].value, rs * 3.5e-05 * 0.00001));
  EXPECT_TRUE(Close(s.NewStates()[st::Ch].value, 10500 - s.NewStates()[st::Cs].value -
                                                     s.NewStates()[st::Ce].value -
                                                     s.NewStates()[st::Ci].value));
  EXPECT_GT(s.NewStates()[st::Ch].value, 0.0);
}

TEST_F(SteadyStateSolverTest, HumusNAboveTotalSoilNFailsAfterTheCarbonPoolsAreDerived) {
  s.WorkStates()[st::Nh].value = 500;
  EXPECT_EQ(SolveExpecting<ECalcNewValue>(),
            std::string(kNewValuePrefix) +
                " Active soil N is negative because value entered for humus N is greater than "
                "total soil N.");
  EXPECT_EQ(s.WorkStates()[st::Na].value, 440.0 - 500.0);
  for (int i : {st::Cs, st::Ci, st::Ce, st::Ch}) {
    EXPECT_NE(s.NewStates()[i].value, States[i].value) << States[i].symbol;
    EXPECT_EQ(s.NewStates()[i].value, s.WorkStates()[i].value) << States[i].symbol;
  }
  EXPECT_EQ(s.NewStates()[st::Na].value, -60.0);
}

TEST_F(SteadyStateSolverTest, ZeroAeiIsADivisionByZeroAfterCsAndCi) {
  s.WorkParams()[prm::Aei].value = 0.0;
  EXPECT_EQ(SolveExpecting<ECalcNewValue>(),
            std::string(kNewValuePrefix) + "Floating point division by zero");
  EXPECT_NE(s.NewStates()[st::Cs].value, 50.0);
  EXPECT_NE(s.NewStates()[st::Ci].value, 1500.0);
  EXPECT_EQ(s.NewStates()[st::Ce].value, 300.0);
  EXPECT_EQ(s.NewStates()[st::Cs].value, s.WorkStates()[st::Cs].value);
}

TEST_F(SteadyStateSolverTest, ArithmeticFaultsRaiseTheirOwnMessages) {
  // NPPf times the shown litterfall constant exceeds the double range.
  s.NewParams()[prm::AlambdaF].value = 1e300;
  Enter(proc::NPPf, 1e300);
  EXPECT_EQ(SolveExpecting<ECalcNewValue>(),
            std::string(kNewValuePrefix) + "Floating point overflow");
}

TEST_F(SteadyStateSolverTest, FailedFirstEvaluationLeavesTheNewSetAlone) {
  s.WorkStates()[st::Cf].value = 0.0;  // no leaf area: 0/0 in the light extinction
  const statearray states = s.NewStates();
  const paramarray params = s.NewParams();
  const processarray processes = s.NewProcesses();
  EXPECT_EQ(SolveExpecting<ECalcInitialProc>(),
            std::string(kInitialProcPrefix) + "Invalid floating point operation");
  EXPECT_EQ(s.NewStates(), states);
  EXPECT_EQ(s.NewParams(), params);
  EXPECT_EQ(s.NewProcesses(), processes);
}

TEST_F(SteadyStateSolverTest, LowInsolubleCNFailsOnlyInTheFinalEvaluationWhileTheCheckIsOn) {
  // So much active N that insoluble C:N falls below the derived target qI.
  Enter(proc::Nst, 20000);
  EXPECT_EQ(SolveExpecting<ECalcNewProcess>(),
            std::string(kNewProcessPrefix) + "Insoluble C:N is less than target insoluble C:N. ");
  EXPECT_TRUE(s.FinalEvaluation());
  EXPECT_LT(s.WorkStates()[st::Ci].value / s.WorkStates()[st::Na].value,
            s.WorkParams()[prm::qI].value);
  // The new set shows the working processes, whose NPP still hold the entries.
  EXPECT_EQ(s.NewProcesses(), s.WorkProcesses());
  EXPECT_EQ(s.NewProcesses()[proc::NPPf].value, 200.0);
  EXPECT_EQ(s.NewProcesses()[proc::Ps].value, 1200.0);
  EXPECT_EQ(s.NewParams(), s.WorkParams());

  // The same solve with the check off: in ModelBatchMode, or with the window hidden.
  for (const bool batch : {true, false}) {
    s.ClearFinalEvaluation();
    s.SetModelBatchMode(batch);
    s.SetWindowShown(batch);
    EXPECT_EQ(SolveExpecting<EMathError>(), "") << "batch " << batch;
  }
}

TEST_F(SteadyStateSolverTest, ASecondSolveTakesTheModelsOwnValues) {
  ASSERT_EQ(SolveExpecting<EMathError>(), "");
  const processarray& shown = s.NewProcesses();
  // The working processes are the final evaluation's; NPP shows total litterfall.
  EXPECT_EQ(s.WorkProcesses(), shown);
  EXPECT_EQ(shown[proc::NPPf].value, shown[proc::lambdaCFT].value);
  EXPECT_EQ(shown[proc::NPPw].value, shown[proc::lambdaCWT].value);
  EXPECT_EQ(shown[proc::NPPr].value, shown[proc::lambdaCRT].value);
  const paramarray first = s.NewParams();
  const double firstCs = s.NewStates()[st::Cs].value;

  // The model's Ps and NPP equal what the second solve's first evaluation gives, so the
  // ratios that scale Sc, the litterfall constants and Cs are 1.
  s.ClearFinalEvaluation();
  ASSERT_EQ(SolveExpecting<EMathError>(), "");
  for (int k : {prm::AlambdaF, prm::AlambdaW, prm::AlambdaR, prm::Sc})
    EXPECT_TRUE(Close(s.NewParams()[k].value, first[k].value)) << Params[k].symbol;
  EXPECT_TRUE(Close(s.NewStates()[st::Cs].value, firstCs));
}

TEST_F(SteadyStateSolverTest, EveryEvaluationOfASolveChecksInsolubleCNOnceTheMarkIsSet) {
  // The window clears the mark before each solve; a solve started with it set checks
  // already in its first evaluation.
  Enter(proc::Nst, 20000);
  EXPECT_NE(SolveExpecting<ECalcNewProcess>(), "");
  s.WorkStates()[st::Na].value = 20000;
  EXPECT_EQ(SolveExpecting<ECalcInitialProc>(),
            std::string(kInitialProcPrefix) + "Insoluble C:N is less than target insoluble C:N. ");
}

TEST_F(SteadyStateSolverTest, GetArrayIndexFindsSymbolsByKind) {
  struct Case {
    QuantityKind kind;
    const char* symbol;
    int index;
  };
  const Case cases[] = {
      {QuantityKind::kDriver, "Sp", drv::Sp},
      {QuantityKind::kProcess, "Sp", proc::Sp},
      {QuantityKind::kState, "Nnh4", st::Nnh4},
      {QuantityKind::kParameter, "AlambdaF", prm::AlambdaF},
      {QuantityKind::kProcess, "NPPf", proc::NPPf},
      {QuantityKind::kState, "cf", 0},      // case-sensitive
      {QuantityKind::kParameter, "Cf", 0},  // a state, not a parameter
      {QuantityKind::kProcess, "nonsense", 0},
      {QuantityKind::kProcess, "dNnh4dt", 19},  // processes are scanned from numstate
      {QuantityKind::kProcess, "dCfdt", 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SteadyStateSolver::GetArrayIndex(c.kind, c.symbol), c.index) << c.symbol;
}

}  // namespace
}  // namespace kvsorv
