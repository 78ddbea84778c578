// pelgrin-cli: every file operation of the editor, one verb a job.
#include <CLI/CLI.hpp>

#include <exception>
#include <iostream>

#include "cli/cli_common.h"
#include "io/paths.h"
#include "io/text.h"

int main(int argc, char** argv) {
  using namespace pelgrin::cli;
  Context context;
  context.program_dir = pelgrin::ProgramDirectoryFrom(argc > 0 ? argv[0] : "");

  CLI::App app{"pelgrin-cli: batch work on SHP image archives", "pelgrin-cli"};
  app.require_subcommand(1);
  app.footer("Run 'pelgrin-cli VERB --help' for a verb's options and an example.");
  AddViewVerbs(app, context);
  AddListVerbs(app, context);
  AddCollageVerbs(app, context);
  AddHeaderVerbs(app, context);
  AddTransferVerbs(app, context);
  AddEditVerbs(app, context);

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return kExitUsage;
  } catch (const pelgrin::ConversionError& e) {
    std::cerr << e.what() << '\n';
    return kExitFailed;
  } catch (const std::exception& e) {
    std::cerr << e.what() << '\n';
    return kExitFailed;
  }
  return context.exit_code;
}
