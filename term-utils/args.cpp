#include "term-utils/args.h"

#include "common/command_line.h"

namespace vistrel {

// No CLI11 option group: the argument group of the record constrains
// nothing, and a CLI11 group would only move the options into a nested
// block of the help.
std::unique_ptr<CLI::App> command(Args& args) {
  auto app = std::make_unique<CLI::App>("Set terminal attributes", "vistrel");
  app->add_option("--cursor", args.cursor, "Turn cursor on/off")
      ->type_name("CURSOR");
  app->add_option("--blank", args.blank,
                  "Set blank time in minutes (0 to disable)")
      ->type_name("BLANK")
      ->transform(tarvo::decimal_u32());
  app->add_option("--foreground", args.foreground, "Set foreground color")
      ->type_name("FOREGROUND");
  app->add_option("--background", args.background, "Set background color")
      ->type_name("BACKGROUND");
  // No value name: CLI11 would show one even though the flag takes no value.
  app->add_flag("--reset", args.reset, "Reset terminal");
  app->add_option("--bold", args.bold, "Turn bold on/off")->type_name("BOLD");
  app->add_option("--powersave", args.powersave, "Powersave mode")
      ->type_name("POWERSAVE");
  return app;
}

std::optional<int> parse_args(int argc, const char* const* argv, Args& args) {
  std::unique_ptr<CLI::App> app = command(args);
  return tarvo::parse_command_line(*app, argc, argv);
}

}  // namespace vistrel
