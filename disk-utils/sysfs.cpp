#include "disk-utils/sysfs.h"

#include <limits>
#include <optional>
#include <string_view>

#include "common/utf8.h"
#include "disk-utils/device_file.h"
#include "disk-utils/number_text.h"

namespace parvel {

std::uint64_t sysfs_sector_count(const std::string& device_path) {
  // The path is taken as given: links are not resolved, so a partition
  // node or a /dev/disk/ link finds no size.
  std::string name = device_path.substr(device_path.rfind('/') + 1);
  std::optional<std::string> text =
      read_whole_file("/sys/block/" + name + "/size");
  if (!text || !tarvo::is_valid_utf8(*text)) return 0;
  std::optional<std::uint64_t> sectors =
      parse_decimal(tarvo::trim_white_space(*text),
                    std::numeric_limits<std::uint64_t>::max());
  return sectors.value_or(0);
}

}  // namespace parvel
