// Signals sent to a real `kvsorv-cli ensemble run`: SIGINT, SIGTERM and SIGHUP keep every
// member reported and end with 128 + the signal, a second signal ends the run at once, and a
// SIGKILL leaves a file that opens with all but the last 1 % of the members reported; a resumed
// run then finishes the design. The test waits on the run's progress lines, never on a clock.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "calibration/chains_file.h"
#include "ensemble/results_file.h"
#include "support/temp_dir.h"

namespace kvsorv {
namespace {

using ensemble::MemberStatus;
using ensemble::ResultsFile;

constexpr std::size_t kMembers = 300;

// kvsorv-cli with its standard error on a pipe of one page, so that the run cannot get far
// ahead of the lines the test has read; a progress line after every member.
class Cli {
 public:
  explicit Cli(const std::vector<std::string>& args) {
    std::vector<std::string> words{KVSORV_CLI};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    std::string pace = "KVSORV_PROGRESS_SECONDS=0";
    std::vector<char*> env;
    for (char** e = environ; *e != nullptr; ++e) env.push_back(*e);
    env.push_back(pace.data());
    env.push_back(nullptr);
    int fds[2];
    if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
    fcntl(fds[0], F_SETPIPE_SZ, 4096);
    pid_ = fork();
    if (pid_ == 0) {
      // As a shell starts a command in the foreground: these signals at their defaults.
      for (const int s : {SIGINT, SIGTERM, SIGHUP}) std::signal(s, SIG_DFL);
      sigset_t none;
      sigemptyset(&none);
      sigprocmask(SIG_SETMASK, &none, nullptr);
      dup2(fds[1], STDERR_FILENO);
      const int null = open("/dev/null", O_WRONLY);
      dup2(null, STDOUT_FILENO);
      close(fds[0]);
      close(fds[1]);
      execve(argv[0], argv.data(), env.data());
      _exit(127);
    }
    close(fds[1]);
    err_ = fds[0];
  }
  ~Cli() {
    if (err_ >= 0) close(err_);
    if (pid_ > 0 && status_ < 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }

  // Reads lines until one satisfies `until` (true), or to the end of the output (false).
  bool ReadUntil(const std::function<bool(const std::string&)>& until) {
    for (;;) {
      for (std::size_t end; (end = pending_.find('\n')) != std::string::npos;) {
        const std::string line = pending_.substr(0, end);
        pending_.erase(0, end + 1);
        text_ += line + '\n';
        if (until(line)) return true;
      }
      char chunk[256];
      const ssize_t n = read(err_, chunk, sizeof chunk);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      pending_.append(chunk, static_cast<std::size_t>(n));
    }
  }
  // The whole output, once the program has closed it.
  const std::string& Text() {
    ReadUntil([](const std::string&) { return false; });
    text_ += pending_;
    pending_.clear();
    return text_;
  }
  void Send(int signal) const { kill(pid_, signal); }
  // The wait status.
  int Wait() {
    Text();
    waitpid(pid_, &status_, 0);
    return status_;
  }
  // Runs to the end; the exit status, or -1 when a signal ended it.
  int Finish() {
    const int s = Wait();
    return WIFEXITED(s) ? WEXITSTATUS(s) : -1;
  }

 private:
  pid_t pid_ = -1;
  int err_ = -1;
  int status_ = -1;
  std::string pending_, text_;
};

// A progress line of at least `count` members finished: "k/N members, ...".
std::function<bool(const std::string&)> MembersAtLeast(std::size_t count, std::size_t* seen) {
  return [=](const std::string& line) {
    std::size_t k = 0, n = 0;
    if (std::sscanf(line.c_str(), "%zu/%zu members", &k, &n) != 2) return false;
    *seen = k;
    return k >= count;
  };
}

std::size_t Done(const std::string& file) {
  std::size_t done = 0;
  for (const MemberStatus s : ResultsFile::OpenToRead(file).Statuses())
    done += s == MemberStatus::kDone ? 1 : 0;
  return done;
}

class CliSignalsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* f : {"cell1.par", "cell1.drr", "cell1b.drr"}) dir.CopyExample(f);
    dir.Write("plan.toml",
              "params = \"cell1.par\"\ndrivers = \"cell1.drr\"\nstart = 1590\nstop = 1620\n"
              "members = " +
                  std::to_string(kMembers) +
                  "\nseed = 4\n[[parameter]]\nsymbol = \"mf\"\ndistribution = \"uniform\"\n"
                  "min = 75\nmax = 85\n[[output]]\nsymbol = \"Cw\"\nyearly = true\n");
    ASSERT_EQ(Cli({"sample", "plan.toml", "--method", "lhs", "-o", "design.csv"}).Finish(), 0);
  }

  static std::vector<std::string> Run(const std::string& file) {
    return {"ensemble", "run", "plan.toml", "--design", "design.csv", "--threads", "1", "-o", file};
  }

  // A resumed run finishes the design.
  static void ExpectResumeFinishes(const std::string& file) {
    std::vector<std::string> args = Run(file);
    args.push_back("--resume");
    Cli resume(args);
    EXPECT_EQ(resume.Finish(), 0) << resume.Text();
    EXPECT_EQ(Done(file), kMembers);
  }

  testing::TempWorkDir dir;
};

TEST_F(CliSignalsTest, StopSignal_KeepsTheMembersReportedAndExitsWith128PlusTheSignal) {
  struct Case {
    const char* name;
    int signal;
    int status;
  };
  for (const Case c :
       {Case{"SIGINT", SIGINT, 130}, Case{"SIGTERM", SIGTERM, 143}, Case{"SIGHUP", SIGHUP, 129}}) {
    SCOPED_TRACE(c.name);
    const std::string file = std::string(c.name) + ".nc";
    Cli run(Run(file));
    std::size_t seen = 0;
    ASSERT_TRUE(run.ReadUntil(MembersAtLeast(20, &seen)));
    run.Send(c.signal);
    EXPECT_EQ(run.Finish(), c.status) << run.Text();
    // "stopped by SIGINT: D members done, 0 failed, written to ...; R not run ..."
    const std::string said = std::string("stopped by ") + c.name + ": ";
    const std::size_t at = run.Text().find(said);
    ASSERT_NE(at, std::string::npos) << run.Text();
    const std::size_t reported = std::stoul(run.Text().substr(at + said.size()));
    EXPECT_GE(reported, seen);
    EXPECT_LT(reported, kMembers);
    EXPECT_EQ(Done(file), reported);
    ExpectResumeFinishes(file);
  }
}

TEST_F(CliSignalsTest, SecondSignal_EndsTheRunAtOnce) {
  Cli run(Run("twice.nc"));
  std::size_t seen = 0;
  ASSERT_TRUE(run.ReadUntil(MembersAtLeast(5, &seen)));
  // Both arrive together, while the run is still going.
  run.Send(SIGSTOP);
  run.Send(SIGINT);
  run.Send(SIGTERM);
  run.Send(SIGCONT);
  const int status = run.Wait();
  ASSERT_TRUE(WIFSIGNALED(status)) << run.Text();
  EXPECT_TRUE(WTERMSIG(status) == SIGINT || WTERMSIG(status) == SIGTERM) << WTERMSIG(status);
}

TEST_F(CliSignalsTest, Killed_LeavesAFileWithAllButTheLastHundredthAndResumes) {
  Cli run(Run("killed.nc"));
  std::size_t seen = 0;
  ASSERT_TRUE(run.ReadUntil(MembersAtLeast(100, &seen)));
  run.Send(SIGKILL);
  const int status = run.Wait();
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << run.Text();
  std::size_t done = 0;
  {
    const ResultsFile killed = ResultsFile::OpenToRead("killed.nc");
    const std::vector<MemberStatus> statuses = killed.Statuses();
    for (std::size_t m = 0; m < statuses.size(); ++m) {
      if (statuses[m] != MemberStatus::kDone) continue;
      ++done;
      for (const double v : killed.ReadMember(m).values) ASSERT_TRUE(std::isfinite(v)) << m;
    }
  }
  EXPECT_GE(done + kMembers / 100, seen);
  ExpectResumeFinishes("killed.nc");
}

// A calibration stopped by SIGTERM keeps every generation it finished, and one killed keeps
// those of its last sync; either resumes.
TEST_F(CliSignalsTest, StoppedOrKilledCalibration_KeepsItsGenerationsAndResumes) {
  dir.Write("obs.csv", "time,output,value,sd\n1610,Cw,10100,200\n");
  dir.Write("calibration.toml",
            "params = \"cell1.par\"\ndrivers = \"cell1.drr\"\nstart = 1590\nstop = 1620\n"
            "seed = 4\n[[parameter]]\nsymbol = \"mf\"\ndistribution = \"uniform\"\n"
            "min = 75\nmax = 85\n[[observations]]\nfile = \"obs.csv\"\n"
            "[sampler]\nchains = 4\ngenerations = 1000000\nburn_in = 10\n");
  for (const int signal : {SIGTERM, SIGKILL}) {
    SCOPED_TRACE(signal);
    const std::string file = "chains" + std::to_string(signal) + ".nc";
    Cli run({"calibrate", "calibration.toml", "--method", "dezs", "--threads", "1", "-o", file});
    std::size_t seen = 0;  // "generation N of M: ...", once N are in the file on the disk
    ASSERT_TRUE(run.ReadUntil([&](const std::string& line) {
      return std::sscanf(line.c_str(), "generation %zu of", &seen) == 1;
    })) << run.Text();
    run.Send(signal);
    const int status = run.Wait();
    if (signal == SIGTERM) {
      ASSERT_TRUE(WIFEXITED(status)) << run.Text();
      EXPECT_EQ(WEXITSTATUS(status), 143) << run.Text();
    }
    const std::size_t kept = calibration::ReadChains(file).generations;
    EXPECT_GE(kept, seen);
    const std::string more = std::to_string(kept + 3);
    Cli resume({"calibrate", "calibration.toml", "--method", "dezs", "--resume", "--generations",
                more, "-o", file});
    EXPECT_EQ(resume.Finish(), 0) << resume.Text();
    EXPECT_EQ(calibration::ReadChains(file).generations, kept + 3);
  }
}

}  // namespace
}  // namespace kvsorv
