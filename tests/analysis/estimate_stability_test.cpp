// The rules that say an estimate is not yet usable, at and around their thresholds, and the
// summary of unstable estimates that `analyze` prints.

#include "analysis/estimate_stability.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace kvsorv::analysis {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Case {
  const char* name;
  Stability got;
  const char* stable;  // the CSV cell
  const char* reason;  // part of the reason; "" for none
};

void Check(const Case& c) {
  EXPECT_STREQ(StableCell(c.got), c.stable) << c.name;
  if (*c.reason == '\0')
    EXPECT_EQ(c.got.reason, "") << c.name;
  else
    EXPECT_NE(c.got.reason.find(c.reason), std::string::npos) << c.name << ": " << c.got.reason;
  EXPECT_EQ(c.got.reason.find(','), std::string::npos) << c.name << ": a CSV cell";
}

TEST(EstimateStability, SobolIndex_UnstableWhenWideOrOffTheScaleBeyondItsInterval) {
  const Case cases[] = {
      {"IntervalOfHalf_Stable", SobolIndexStability("ST", 0.6, 0.35, 0.85), "yes", ""},
      {"WiderThanHalf_Unstable", SobolIndexStability("ST", 5.19, 0.38, 21.6), "no",
       "ST interval 0.38 to 21.6 wider than 0.5"},
      {"WhollyAboveOnePastSlack_Unstable", SobolIndexStability("ST", 1.3, 1.2, 1.4), "no",
       "ST 1.3 above 1 beyond its interval 1.2 to 1.4"},
      {"WhollyBelowZeroPastSlack_Unstable", SobolIndexStability("S1", -0.2, -0.3, -0.1), "no",
       "below 0"},
      {"JustBelowZeroWithinSlack_Stable", SobolIndexStability("S1", -0.02, -0.04, -0.01), "yes",
       ""},
      {"EstimateAboveOneIntervalReachingIt_Stable", SobolIndexStability("ST", 1.1, 0.95, 1.3),
       "yes", ""},
      {"NoInterval_NotJudged", SobolIndexStability("S1", 0.4, kNaN, kNaN), "", "no interval"},
      {"NoEstimate_NotJudged", SobolIndexStability("S1", kNaN, kNaN, kNaN), "", ""},
      {"EitherUnstable_BothUnstableWithItsReason",
       Combined(SobolIndexStability("S1", 0.2, 0.1, 0.3), SobolIndexStability("ST", 2, 1.4, 2.5)),
       "no", "ST 2 above 1"},
  };
  for (const Case& c : cases) Check(c);
}

TEST(EstimateStability, MorrisMuStar_UnstableFromFewEffectsOrAWideErrorThatMatters) {
  // Ten effects alternating 1 and 3: mu = mu* = 2, sigma = sqrt(10/9), standard error 0.33.
  const double sigma = std::sqrt(10.0 / 9);
  // Ten effects of which one is 20 and nine 0: mu* = 2, sigma = sqrt(40), standard error 2.
  const double spiky = std::sqrt(40.0);
  const Case cases[] = {
      {"TenSteadyEffects_Stable", MorrisStability(10, 2, 2, sigma, 2), "yes", ""},
      {"NineEffects_Unstable", MorrisStability(9, 2, 2, sigma, 2), "no",
       "only 9 effects (fewer than 10)"},
      {"OneMemberDominates_Unstable", MorrisStability(10, 2, 2, spiky, 2), "no",
       "standard error 2"},
      {"NegligibleBesideTheLargest_Stable", MorrisStability(10, 2, 2, spiky, 100), "yes", ""},
      {"NoEffectAtAll_Stable", MorrisStability(10, 0, 0, 0, 5), "yes", ""},
      {"NoMuStar_NotJudged", MorrisStability(12, kNaN, kNaN, kNaN, 1), "", ""},
  };
  for (const Case& c : cases) Check(c);
}

TEST(EstimateStability, LocalAndMembers_FollowTheCheckAndTheCounts) {
  const Case cases[] = {
      {"LocalWithinTolerance_Stable", LocalStability(0.5, 0.5, true, 0.01), "yes", ""},
      {"LocalFailsHalving_Unstable", LocalStability(0.52, 0.41, false, 0.01), "no",
       "S_h 0.52 and S_h/2 0.41 differ by more than the tolerance 0.01"},
      {"LocalHalfStepMissing_NotJudged", LocalStability(0.5, kNaN, true, 0.01), "", ""},
      {"ThirtyOfSixty_Stable", MembersStability(30, 60), "yes", ""},
      {"TwentyNine_Unstable", MembersStability(29, 40), "no",
       "only 29 of 40 members (fewer than 30)"},
      {"UnderHalfOfTheDesign_Unstable", MembersStability(999, 2000), "no", "(fewer than half)"},
      {"None_NotJudged", MembersStability(0, 64), "", ""},
  };
  for (const Case& c : cases) Check(c);
}

TEST(EstimateStability, Summary_CountsUnstableRowsAndNamesTheirTimesPerOutputAndParameter) {
  UnstableSummary summary;
  const Stability wide = SobolIndexStability("ST", 5.19, 0.38, 21.6);
  const Stability fine = SobolIndexStability("ST", 0.5, 0.4, 0.6);
  for (const double t : {1600.0, 1601.0, 1602.0}) {
    summary.Add("NEP", "Q10d", t, t == 1600.0 ? fine : wide);
    summary.Add("NEP", "mf", t, fine);
  }
  const std::vector<std::string> lines = summary.Lines("Sobol rows", 3);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].rfind("2 of 6 Sobol rows are not yet usable", 0), 0u) << lines[0];
  EXPECT_EQ(lines[1],
            "NEP, Q10d at 2 of 3 times (1601 1602); at 1601: ST interval 0.38 to 21.6 wider "
            "than 0.5");
  UnstableSummary none;
  none.Add("NEP", "mf", 1600, fine);
  EXPECT_TRUE(none.Lines("Sobol rows", 1).empty());
}

}  // namespace
}  // namespace kvsorv::analysis
