// pelgrin-cli: every file operation of the editor, one verb a job.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <exception>
#include <iostream>

#include "cli/cli_common.h"
#include "io/paths.h"
#include "io/system.h"
#include "io/text.h"
#include "shell/about.h"

namespace {

// Whatever was printed must have reached standard output: a full disk or a closed pipe
// there is a failure like any other.
int CheckedExit(int status) {
  if (std::fflush(stdout) == 0 && !std::ferror(stdout) && std::cout.flush()) return status;
  std::cerr << "Could not write to the standard output.\n";
  return status == pelgrin::cli::kExitOk ? pelgrin::cli::kExitFailed : status;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace pelgrin::cli;
  pelgrin::os::GuardStandardStreams();
  Context context;
  context.program_dir = pelgrin::ProgramDirectoryFrom(argc > 0 ? argv[0] : "");

  CLI::App app{"pelgrin-cli: batch work on SHP image archives", "pelgrin-cli"};
  app.require_subcommand(1);
  app.set_version_flag("--version", pelgrin::VersionLine(), "Print the version and exit");
  app.footer("Run 'pelgrin-cli VERB --help' for a verb's options and an example.");
  AddViewVerbs(app, context);
  AddListVerbs(app, context);
  AddCollageVerbs(app, context);
  AddHeaderVerbs(app, context);
  AddTransferVerbs(app, context);
  AddEditVerbs(app, context);
  AddArchiveVerbs(app, context);

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return CheckedExit(app.exit(e));
  } catch (const CLI::CallForAllHelp& e) {
    return CheckedExit(app.exit(e));
  } catch (const CLI::CallForVersion& e) {
    return CheckedExit(app.exit(e));
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return kExitUsage;
  } catch (const std::exception& e) {  // the conversion error of a typed number, too
    std::cerr << e.what() << '\n';
    return CheckedExit(kExitFailed);
  }
  return CheckedExit(context.exit_code);
}
