#pragma once
// The results of an ensemble in a netCDF-4 file (CF conventions): the value of every kept
// output of every member at every time of the time axis (one variable per output, time x
// member, compressed, one member per chunk; results_layout.h), each member's parameters,
// status and error text, and the plan's fingerprint, the program's version, the master seed
// and the design (its method, and the one-at-a-time step or the Morris levels its analysis
// needs). Files of the older layout (every output in one variable) are read and written too.
// Members are written as they finish; a member's status is held back until its values are synced
// (Flush), so that a file left by a killed process never calls a member done whose values it lacks.

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "ensemble/member_run.h"
#include "ensemble/plan.h"
#include "ensemble/rank_correlation.h"
#include "ensemble/results_layout.h"
#include "ensemble/sampling.h"

namespace netCDF {
class NcFile;
}

namespace kvsorv::ensemble {

class DiskSync;

// A results file that cannot be opened, made or merged, or is not a results file: the message
// names the file (and the member) and says what is wrong.
class EResultsError : public std::runtime_error {
  using std::runtime_error::runtime_error;
};

enum class MemberStatus : signed char { kMissing = 0, kDone = 1, kFailed = 2 };

// What a results file holds besides the members' values.
struct ResultsDescription {
  std::string designMethod;   // "mc", "lhs", "sobol", "morris", "oat"; empty in older files
  double oatStep = 0.0;       // relative step of a one-at-a-time design, 0 for others
  int morrisLevels = 0;       // grid levels of a Morris design, 0 for others
  std::string seed;           // the plan's seed, as written
  std::vector<double> times;  // the time axis (year)
  std::vector<std::string> variables;   // the kept outputs, in the file's order
  std::vector<std::string> parameters;  // the varied parameters' symbols
};

class ResultsFile {
 public:
  // A new file for every member of the design (replacing any file of that name). EResultsError
  // naming the file and the cause (such as "the disk is full") when it cannot be made; nothing
  // of it is left then.
  static ResultsFile Create(const std::string& fileName, const EnsemblePlan& plan,
                            const EnsembleSite& site, const Design& design,
                            const std::string& version, int format = kResultsFormat);
  // An existing file, to add members to. EResultsError when it cannot be opened or is not a
  // results file; EPlanError when it was made from another plan, another design, or while
  // the site's files held other contents.
  static ResultsFile Open(const std::string& fileName, const EnsemblePlan& plan,
                          const Design& design);
  // An existing file, only to read; or to write members into (as a merge does).
  // EResultsError when it cannot be opened or is not a results file.
  static ResultsFile OpenToRead(const std::string& fileName);
  static ResultsFile OpenToWrite(const std::string& fileName);

  ResultsFile(ResultsFile&&) noexcept;
  ResultsFile& operator=(ResultsFile&&) noexcept;
  // Closes the file as Close does; a failure then goes unreported.
  ~ResultsFile();

  std::vector<MemberStatus> Statuses() const;
  // The members marked done that lack a value a member done has (a file damaged by a fault
  // of the disk or the process); reads every member's values.
  std::vector<std::size_t> DoneWithoutValues() const;
  // Statuses, with the members DoneWithoutValues names counted missing (a resume runs them).
  std::vector<MemberStatus> CheckedStatuses() const;
  std::size_t Members() const;
  // Writes one member's outcome and parameters. It reaches the file on disk with the next
  // Flush or Close; until then a process killed leaves the member missing from the file.
  // Failures (here, in Flush and in Close): EResultsError naming the file and the cause, such
  // as "the disk is full"; the members of earlier Flushes stay in the file, readable.
  void WriteMember(std::size_t member, const std::vector<double>& parameters,
                   const MemberResult& result);
  // Puts every member written so far into the file, whole, so that it survives a kill of the
  // process, and has the kernel write the file to the disk (in the background: a power cut
  // soon after may still lose these members). A few milliseconds. Failures: the netCDF
  // library's exceptions; std::system_error when an earlier write to the disk failed.
  void Flush();
  // Flushes and closes the file, returning once it is on the disk. Nothing but the destructor
  // may be called afterwards. Failures as Flush.
  void Close();
  // A member's values (times x variables), failure and error text, and its parameters.
  MemberResult ReadMember(std::size_t member, std::vector<double>* parameters = nullptr) const;
  // A member's error text alone ("" for a member that did not fail), without its values.
  std::string ErrorOf(std::size_t member) const;
  std::string PlanFingerprint() const;
  // The fingerprint kept in `attribute` (one of kGuardKinds'), "" in a file older than it.
  std::string GuardFingerprint(const char* attribute) const;
  ResultsDescription Describe() const;
  // Every member's parameters (members x parameters; NaN for a member never written).
  Matrix Parameters() const;
  // The values of members [first, first + count) at every time, of variables
  // [firstVariable, firstVariable + variables): `out` gets count x times x variables values,
  // in that order. Reads each member's chunk once.
  void ReadValues(std::size_t first, std::size_t count, std::size_t firstVariable,
                  std::size_t variables, double* out) const;
  // Where a member that is done has a value: times x variables, 1 where it does (every
  // value in a file older than this record).
  std::vector<signed char> KeptMask() const;
  const std::string& Name() const { return name_; }
  // 2 for the CF layout, 1 for the older one (results_layout.h).
  int Format() const { return cf_ ? kResultsFormat : 1; }
  // The netCDF variable of each output (the CF layout), in the order of Describe's variables;
  // empty in the older layout.
  const std::vector<std::string>& OutputVariables() const { return outputVariables_; }

 private:
  ResultsFile(std::unique_ptr<netCDF::NcFile> file, std::string name,
              std::unique_ptr<DiskSync> disk = nullptr);
  const MemberStatus* HeldFor(std::size_t member) const;
  std::size_t Times() const;
  std::size_t Outputs() const;
  void PutMember(std::size_t member, const std::vector<double>& parameters,
                 const MemberResult& result);
  void SyncInTwo();
  // Create's work on the file made under the name `making`: its layout, then the rename.
  static ResultsFile CreateInside(std::unique_ptr<netCDF::NcFile>& file, const std::string& making,
                                  const std::string& fileName, const EnsemblePlan& plan,
                                  const EnsembleSite& site, const Design& design,
                                  const std::string& version, int format);
  static void WriteLayout(netCDF::NcFile& file, const EnsemblePlan& plan, const EnsembleSite& site,
                          const Design& design, const std::string& version);

  std::unique_ptr<netCDF::NcFile> file_;
  std::string name_;
  std::unique_ptr<DiskSync> disk_;  // files opened to write
  bool cf_ = false;
  std::vector<std::string> outputVariables_;
  // Members written whose status waits for the next Flush, in the order written.
  std::vector<std::pair<std::size_t, MemberStatus>> held_;
};

// EPlanError naming the file and what differs when `results` was not made from `plan` and
// `design`, or the files its members read (parameters, drivers) held other contents then.
void CheckMadeFrom(const ResultsFile& results, const EnsemblePlan& plan, const Design& design);

// The fingerprint as the results file records it: 16 hexadecimal digits.
std::string FingerprintText(std::uint64_t fingerprint);

}  // namespace kvsorv::ensemble
