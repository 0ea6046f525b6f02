// The command table: a new command is its Declare function and one entry here.

#include "app/cli_commands.h"

#include <array>
#include <iostream>

#include "model/catalogue_listing.h"

namespace kvsorv::cli {

// Defined each in its command's own file.
CommandBody DeclareRun(CLI::App& command);
CommandBody DeclareChain(CLI::App& command);
CommandBody DeclareSample(CLI::App& command);
CommandBody DeclareEnsemble(CLI::App& command);
CommandBody DeclareAnalyze(CLI::App& command);
CommandBody DeclareProcesses(CLI::App& command);
CommandBody DeclareSteadyState(CLI::App& command);
CommandBody DeclareTable(CLI::App& command);
CommandBody DeclarePlot(CLI::App& command);
CommandBody DeclareCalibrate(CLI::App& command);

namespace {

CommandBody DeclareCatalogue(CLI::App&) {
  return [] {
    std::cout << FormatCatalogueListing();
    return 0;
  };
}

// The overall usage, as --help at the top shows it.
CommandBody DeclareHelp(CLI::App& command) {
  return [&command] {
    const CLI::App& top = *command.get_parent();
    std::cout << top.get_formatter()->make_help(&top, top.get_name(), CLI::AppFormatMode::Normal);
    return 0;
  };
}

constexpr std::array kCommands = {
    Command{"catalogue", "List every state, driver, parameter and process.",
            "Each with its index, symbol, name and units.", DeclareCatalogue},
    Command{"run", "Run the model and write the output file.",
            "Also writes the scratch driver file \"dummyfile\" in the working directory and the\n"
            "next cell's driver file, cell<N+1>.drr beside the driver file.",
            DeclareRun},
    Command{"chain", "Run a chain of cells, each on the drivers the one before hands on.",
            "Cell N+1 runs on cell N's next-cell drivers, as successive runs through files\n"
            "would give them, in memory; each cell writes cell<N>.out in the output directory.",
            DeclareChain},
    Command{"processes", "Evaluate every process once.",
            "The drivers are those of the driver file at time T.", DeclareProcesses},
    Command{"steady-state", "Calibrate to steady state as the steady-state window does.",
            "Each --set is an entry committed in the window, solved once; then N more solves.\n"
            "Exit status: 0 when steady, 3 when not, 1 when the last solve failed.",
            DeclareSteadyState},
    Command{"sample", "Write the design matrix of an ensemble plan.",
            "One row per member and one column per varied parameter, comma-separated, after\n"
            "comment lines naming the columns and the design. For sobol the plan's members are\n"
            "the base points (members x (k + 2) rows); for morris, the trajectories (k + 1 rows\n"
            "each); oat has the medians, then each parameter at -h, +h, -h/2, +h/2.",
            DeclareSample},
    Command{"ensemble", "Run the members of a design; merge shards; count what is done.",
            "ensemble run PLAN --design FILE [--threads N] [--shard k/K] [--resume]\n"
            "             [--rerun-failed] -o RESULTS.nc\n"
            "             (SIGINT, SIGTERM, SIGHUP: keep the members finished, exit 128+signal)\n"
            "ensemble merge SHARD.nc... -o RESULTS.nc\n"
            "ensemble status RESULTS.nc   (exit status 3 while members are missing)\n"
            "ensemble launch slurm|parallel PLAN --design FILE --shards K [--threads N]\n"
            "             [--max-running M] -o RESULTS.nc",
            DeclareEnsemble},
    Command{"analyze", "Sensitivity or uncertainty of ensemble outputs.",
            "analyze local|morris|sobol|envelope RESULTS.nc [--outputs SYM,...] [--times T,...]\n"
            "        [--resamples B] [--tolerance X] -o RESULT.csv\n"
            "analyze local|morris|sobol|envelope MEMBERS.csv --inputs K\n"
            "        [--design mc|lhs|sobol|morris|oat] -o RESULT.csv\n"
            "Every kept time of every chosen output of a results file; or a plain table: one\n"
            "row per member, the design's K columns first, then the outputs (a cell that is not\n"
            "a number marks a failed member). sobol needs a sobol design, morris a morris one,\n"
            "local an oat one. Beside RESULT.csv: RESULT-failures.csv (which parameters\n"
            "predict failure), RESULT-convergence.csv (sobol), RESULT-summary.csv and\n"
            "RESULT-collinearity.csv (local).",
            DeclareAnalyze},
    Command{"calibrate", "Calibrate parameters against observations.",
            "calibrate PLAN --method dezs|am|fit [--threads N] [--generations N]\n"
            "          [--start-from FIT.nc] [--resume] -o CHAINS.nc\n"
            "          (SIGINT, SIGTERM, SIGHUP: keep the finished generations, exit 128+signal)\n"
            "calibrate status CHAINS.nc [--rhat X] [--ess N]   (exit status 3 unless converged)\n"
            "dezs: differential-evolution MCMC with an archive and snooker updates; am: adaptive\n"
            "Metropolis; fit: the posterior's mode by least squares, with the parameters'\n"
            "covariance from the Jacobian. A run that fails counts as zero likelihood.",
            DeclareCalibrate},
    Command{"table", "Write an output file as comma-separated values.",
            "A row of names, a row of units, then every record with the file's values.",
            DeclareTable},
    Command{"plot", "Draw an output file's columns, or an ensemble's charts.",
            "Up to 10 series against one column, as values, relative change (y/y0) or\n"
            "cumulative change (y-y0); the picture's format follows its extension.\n"
            "plot envelope|tornado|sobol|morris|convergence|failures RESULTS.nc [--output SYM]\n"
            "     [--time T] [--obs FILE] --image FILE.png|.svg|.pdf\n"
            "draws the ensemble window's chart of a results file and writes what it draws to\n"
            "FILE.csv beside the picture.",
            DeclarePlot},
    Command{"help", "Show this text.", "", DeclareHelp},
};

}  // namespace

std::span<const Command> Commands() {
  return kCommands;
}

}  // namespace kvsorv::cli
