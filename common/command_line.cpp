#include "common/command_line.h"

#include <charconv>
#include <cstdint>
#include <set>
#include <span>
#include <sstream>
#include <string_view>
#include <vector>

#include "common/output.h"
#include "common/utf8.h"

namespace tarvo {
namespace {

const std::string not_utf8 =
    "Invalid UTF-8 was detected in one or more arguments";

bool takes_value(const CLI::Option* option) {
  return option->get_expected_max() > 0;
}

// A word of "-" and at least one more character is always an option, never
// the value of the option before it.
bool looks_like_option(std::string_view word) {
  return word.size() >= 2 && word[0] == '-';
}

// Walks the words once, left to right, and keeps them in the order CLI11
// must see them: each option with its value, then "--" and the positionals.
class CommandLineScan {
 public:
  explicit CommandLineScan(CLI::App& app) : app_(app) {
    positional_limit_ = app.get_options([](const CLI::Option* option) {
                             return option->get_positional();
                           })
                            .size();
  }

  // Returns the message for the first refused word, if any.
  std::optional<std::string> scan(std::span<const char* const> words) {
    words_ = words;
    while (next_ < words_.size() && !help_) {
      std::string_view word = words_[next_++];
      std::optional<std::string> error;
      if (!is_valid_utf8(word)) {
        error = not_utf8;
      } else if (escaped_ || word.size() < 2 || word[0] != '-') {
        error = take_positional(word);
      } else if (word == "--") {
        escaped_ = true;
      } else if (word[1] == '-') {
        error = take_long(word);
      } else {
        error = take_short_cluster(word);
      }
      if (error) return error;
    }
    return std::nullopt;
  }

  // Whether the scan stopped at the help flag. The flag itself is left out
  // of the words, so CLI11 only checks the values before it.
  bool help_requested() const { return help_; }

  // CLI11 takes its word list last word first.
  std::vector<std::string> reversed_words() const {
    std::vector<std::string> words = options_;
    words.emplace_back("--");
    words.insert(words.end(), positionals_.begin(), positionals_.end());
    return std::vector<std::string>(words.rbegin(), words.rend());
  }

 private:
  std::optional<std::string> take_positional(std::string_view word) {
    if (positionals_.size() == positional_limit_) {
      return "The following argument was not expected: " + std::string(word);
    }
    positionals_.emplace_back(word);
    return std::nullopt;
  }

  // "--name" or "--name=value".
  std::optional<std::string> take_long(std::string_view word) {
    std::size_t equals = word.find('=');
    std::optional<std::string_view> attached;
    if (equals != std::string_view::npos) attached = word.substr(equals + 1);
    return take_option(word, std::string(word.substr(0, equals)), attached);
  }

  // "-l", "-lb 512", "-lb512", "-b=512": flags up to the first option that
  // takes a value, which takes the rest of the word (after one "=").
  std::optional<std::string> take_short_cluster(std::string_view word) {
    for (std::size_t i = 1; i < word.size() && !help_; ++i) {
      std::string name{'-', word[i]};
      const CLI::Option* option = app_.get_option_no_throw(name);
      if (option == nullptr || !takes_value(option)) {
        if (std::optional<std::string> error =
                take_option(word, name, std::nullopt)) {
          return error;
        }
        continue;
      }
      std::optional<std::string_view> attached;
      if (i + 1 < word.size()) {
        attached = word.substr(word[i + 1] == '=' ? i + 2 : i + 1);
      }
      return take_option(word, name, attached);
    }
    return std::nullopt;
  }

  std::optional<std::string> take_option(
      std::string_view word, const std::string& name,
      std::optional<std::string_view> attached) {
    const CLI::Option* option = app_.get_option_no_throw(name);
    if (option == nullptr || option->get_positional()) {
      return "The following argument was not expected: " + std::string(word);
    }
    if (!seen_.insert(option).second) {
      return "Option " + name + " cannot be given more than once";
    }
    if (!takes_value(option)) {
      if (attached) return "Option " + name + " takes no value";
      help_ = option == app_.get_help_ptr();
      if (!help_) options_.push_back(name);
      return std::nullopt;
    }
    options_.push_back(name);
    if (!attached) {
      if (next_ == words_.size() || looks_like_option(words_[next_])) {
        return "Option " + name + " requires a value";
      }
      attached = words_[next_++];
      if (!is_valid_utf8(*attached)) return not_utf8;
    }
    options_.emplace_back(*attached);
    return std::nullopt;
  }

  CLI::App& app_;
  std::size_t positional_limit_ = 0;
  std::span<const char* const> words_;
  std::size_t next_ = 0;
  std::set<const CLI::Option*> seen_;
  std::vector<std::string> options_;
  std::vector<std::string> positionals_;
  bool escaped_ = false;
  bool help_ = false;
};

// CLI11 prints through iostreams, which give up when a non-blocking
// descriptor is full; its texts go out through write_all instead.
int exit_after(const CLI::App& app, const CLI::ParseError& error) {
  std::ostringstream out;
  std::ostringstream err;
  int status = app.exit(error, out, err) == 0 ? 0 : 2;
  write_all(1, out.str());
  write_error(err.str());
  return status;
}

}  // namespace

CLI::Validator decimal_u32() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        std::string_view digits = text;
        bool negative = !digits.empty() && digits[0] == '-';
        if (!digits.empty() && (negative || digits[0] == '+')) {
          digits.remove_prefix(1);
        }
        if (digits.empty() ||
            digits.find_first_not_of("0123456789") != std::string_view::npos) {
          return "invalid digit found in string";
        }
        std::int64_t value = 0;
        std::from_chars_result result = std::from_chars(
            digits.data(), digits.data() + digits.size(), value);
        if (result.ec != std::errc() || (negative && value != 0) ||
            value > 4294967295) {
          return "value is not in 0..=4294967295";
        }
        text = std::to_string(value);
        return std::string();
      },
      "");
}

std::string program_name(const char* argv0, const std::string& command_name) {
  std::string_view path = argv0 != nullptr ? argv0 : "";
  std::string_view last;
  for (std::size_t begin = 0; begin <= path.size();) {
    std::size_t end = std::min(path.find('/', begin), path.size());
    std::string_view component = path.substr(begin, end - begin);
    if (!component.empty() && component != ".") last = component;
    begin = end + 1;
  }
  if (last.empty() || last == ".." || !is_valid_utf8(last)) return command_name;
  return std::string(last);
}

std::optional<int> parse_command_line(CLI::App& app, int argc,
                                      const char* const* argv) {
  app.name(program_name(argc > 0 ? argv[0] : nullptr, app.get_name()));
  std::span<const char* const> words;
  if (argc > 1) words = std::span<const char* const>(argv + 1, argc - 1);
  CommandLineScan scan(app);
  if (std::optional<std::string> error = scan.scan(words)) {
    write_error(*error + "\nRun with --help for more information.\n");
    return 2;
  }
  std::vector<std::string> reversed = scan.reversed_words();
  try {
    app.parse(reversed);
  } catch (const CLI::ParseError& error) {
    return exit_after(app, error);
  }
  // Answered here rather than by CLI11's help exception: the first
  // exception of a static binary costs as much as the rest of the run.
  if (scan.help_requested()) {
    write_all(1, app.help());
    return 0;
  }
  return std::nullopt;
}

}  // namespace tarvo
