// The ensemble window over a long run: 10,000 members of the example site (ten years each, so
// that the run is mostly the window's own work: progress, redraws of the envelope as members
// finish, the figures at the end). Runs on Qt's offscreen platform and prints the resident
// memory as the members finish; the window must not grow with the members it has drawn.

#include <QApplication>
#include <QPushButton>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "program/program_state.h"
#include "windows/ensemble_window/ensemble_window.h"

namespace {

constexpr int kMembers = 10000;

double ResidentMb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field, 0) == 0)
      return std::stod(line.substr(std::string(field).size())) / 1024.0;
  return 0;
}

std::string WritePlan(const std::filesystem::path& dir) {
  std::filesystem::create_directories(dir);
  for (const char* f : {"cell1.par", "cell1.drr", "cell1b.drr"})
    std::filesystem::copy_file(std::filesystem::path(KVSORV_SOURCE_DIR) / "examples" / f, dir / f,
                               std::filesystem::copy_options::overwrite_existing);
  std::filesystem::remove(dir / "plan.results.nc");
  std::ofstream(dir / "plan.toml")
      << "params = \"cell1.par\"\ndrivers = \"cell1.drr\"\nstart = 1590\nstop = 1600\n"
      << "members = " << kMembers << "\nseed = 3\n"
      << "[[parameter]]\nsymbol = \"mf\"\ndistribution = \"uniform\"\nmin = 70\nmax = 90\n"
      << "[[parameter]]\nsymbol = \"rg\"\ndistribution = \"uniform\"\nmin = 0.2\nmax = 0.3\n"
      << "[[output]]\nsymbol = \"NEP\"\nyearly = true\n[[output]]\nsymbol = \"Cf\"\nyearly = "
         "true\n";
  return (dir / "plan.toml").string();
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  kvsorv::ResetProgramState();
  const auto dir = std::filesystem::temp_directory_path() / "kvsorv-ensemble-window-bench";
  const std::string plan = WritePlan(dir);
  kvsorv::TFmEnsemble window;
  window.resize(1260, 820);
  window.show();
  window.OpenPlanFile(plan);
  auto* run = window.findChild<QPushButton*>("BtnRun");
  const double before = ResidentMb("VmRSS:");
  run->click();
  std::cout << "members finished\tresident MB\n";
  std::size_t reported = 0;
  while (!run->isEnabled()) {
    QApplication::processEvents(QEventLoop::AllEvents, 50);
    const std::size_t finished = window.Session().Progress().finished;
    if (finished >= reported + kMembers / 10) {
      reported = finished;
      std::cout << finished << '\t' << ResidentMb("VmRSS:") << '\n';
    }
  }
  QApplication::processEvents();
  std::cout << "before the run " << before << " MB, at its end " << ResidentMb("VmRSS:")
            << " MB, peak " << ResidentMb("VmHWM:") << " MB\n";
  std::filesystem::remove_all(dir);
  return 0;
}
