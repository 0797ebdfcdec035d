#include "disk-utils/args.h"

#include "common/command_line.h"

namespace parvel {

std::unique_ptr<CLI::App> command(Args& args) {
  auto app =
      std::make_unique<CLI::App>("Manipulate disk partition table", "parvel");
  app->add_flag("-l,--list", args.list, "List partitions");
  app->add_option("-b,--sector-size", args.sector_size, "Sector size")
      ->type_name("SECTOR_SIZE")
      ->transform(tarvo::decimal_u32());
  app->add_option("DEVICE", args.device, "Device")->type_name("");
  return app;
}

std::optional<int> parse_args(int argc, const char* const* argv, Args& args) {
  std::unique_ptr<CLI::App> app = command(args);
  return tarvo::parse_command_line(*app, argc, argv);
}

}  // namespace parvel
