#pragma once
// The analyses' results as CSV files: a header line naming the columns, then one row per
// result; numbers with 10 significant digits (%.10g), an empty cell where a value could not be
// computed (and for the time of a plain table). Failures: EInOutError naming the file when it
// cannot be written (a previous file stays as it was).

#include <string>
#include <vector>

#include "analysis/collinearity.h"
#include "analysis/envelope_over_time.h"
#include "analysis/failures.h"
#include "analysis/local_sensitivity.h"
#include "analysis/morris_over_time.h"
#include "analysis/sobol_over_time.h"

namespace kvsorv::analysis {

// A `stable` cell says yes, no or nothing (not judged) and `reason` why not
// (analysis/estimate_stability.h).

// output,time,mean,sd,min,max,q05,q25,q50,q75,q95,members,design_members,stable,reason
void WriteEnvelopeCsv(const std::string& fileName, const std::vector<EnvelopeRow>& rows);
// output,time,parameter,S1,S1_low,S1_high,ST,ST_low,ST_high,base_points,design_base_points,
// stable,reason (of both indices)
void WriteSobolCsv(const std::string& fileName, const std::vector<SobolRow>& rows);
// output,time,parameter,base_points,S1,ST,first_base_points
void WriteConvergenceCsv(const std::string& fileName, const std::vector<ConvergenceRow>& rows);
// output,time,parameter,mu,mu_star,sigma,effects,trajectories,stable,reason
void WriteMorrisCsv(const std::string& fileName, const std::vector<MorrisRow>& rows);
// output,time,parameter,coefficient,half_step_coefficient,difference,stable,reason
void WriteLocalCsv(const std::string& fileName, const std::vector<LocalRow>& rows);
// output,parameter,L1,L2,mean,min,max,times
void WriteLocalSummaryCsv(const std::string& fileName, const std::vector<LocalSummaryRow>& rows);
// parameters,size,collinearity (the parameters joined by '+')
void WriteCollinearityCsv(const std::string& fileName, const std::vector<CollinearityRow>& rows);
// parameter,failed_mean,done_mean,rank_biserial,p_value,failed,done
void WriteFailuresCsv(const std::string& fileName, const std::vector<FailureRow>& rows);

// The name of a companion file: "out/sobol.csv" and "convergence" give
// "out/sobol-convergence.csv".
std::string CompanionFile(const std::string& fileName, const std::string& suffix);

}  // namespace kvsorv::analysis
