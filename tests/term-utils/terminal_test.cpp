// oxavistrel on a real terminal: tmux runs it in a pane and reports how the
// pane renders text and whether it shows the cursor.
#include <gtest/gtest.h>
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/run_program.h"

namespace {

using test_support::ProgramResult;
using test_support::run_program;

bool tmux_installed() {
  return run_program({"tmux", "-V"}).status == 0;
}

// A detached session on a server of its own, so that the test neither sees
// nor disturbs anybody else's tmux; the server dies with the object.
class TmuxSession {
 public:
  explicit TmuxSession(const std::string& script)
      : socket_("vistrel-test-" + std::to_string(::getpid())) {
    // More than one command word: tmux runs sh itself, whatever the
    // user's login shell.
    started_ = tmux({"-f", "/dev/null", "new-session", "-d", "-x", "80", "-y",
                     "24", "-s", "vistrel", "/bin/sh", "-c", script})
                   .status == 0;
  }
  TmuxSession(const TmuxSession&) = delete;
  TmuxSession& operator=(const TmuxSession&) = delete;
  ~TmuxSession() { tmux({"kill-server"}); }

  bool started() const { return started_; }

  void press_enter() const { tmux({"send-keys", "-t", "vistrel", "Enter"}); }

  // The pane with its attributes as SGR sequences, once text is on it;
  // nothing if it does not turn up within a generous bound (sanitizer
  // builds start slowly).
  std::optional<std::string> wait_for(const std::string& text) const {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
      ProgramResult pane = tmux({"capture-pane", "-e", "-p", "-t", "vistrel"});
      if (pane.out.find(text) != std::string::npos) return pane.out;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return std::nullopt;
  }

  std::string cursor_flag() const {
    return tmux({"display", "-p", "-t", "vistrel", "#{cursor_flag}"}).out;
  }

 private:
  ProgramResult tmux(std::vector<std::string> words) const {
    words.insert(words.begin(), {"tmux", "-L", socket_});
    return run_program(words);
  }

  std::string socket_;
  bool started_ = false;
};

struct Rendition {
  bool bold = false;
  int foreground = -1;  // 0 to 7; -1 for the default colour
};

// The rendition in force where marker starts, from the SGR sequences that
// precede it on its line.
std::optional<Rendition> rendition_at(const std::string& pane,
                                      const std::string& marker) {
  std::size_t at = pane.find(marker);
  if (at == std::string::npos) return std::nullopt;
  std::size_t line_start = pane.rfind('\n', at);
  line_start = line_start == std::string::npos ? 0 : line_start + 1;
  Rendition rendition;
  for (std::size_t csi = pane.find("\x1b[", line_start); csi < at;
       csi = pane.find("\x1b[", csi + 2)) {
    std::size_t end = pane.find('m', csi);
    if (end == std::string::npos) break;
    // "ESC[m" is "ESC[0m".
    std::istringstream parameters(pane.substr(csi + 2, end - csi - 2) + ";");
    for (std::string text; std::getline(parameters, text, ';');) {
      int code = 0;
      std::from_chars(text.data(), text.data() + text.size(), code);
      if (code == 0) rendition = Rendition();
      if (code == 1) rendition.bold = true;
      if (code == 22) rendition.bold = false;
      if (code >= 30 && code <= 37) rendition.foreground = code - 30;
      if (code == 39) rendition.foreground = -1;
    }
  }
  return rendition;
}

std::string quoted(const std::string& path) {
  return "'" + path + "'";
}

TEST(VistrelOnATerminal, RendersLaterTextRedAndBold) {
  if (!tmux_installed()) GTEST_SKIP() << "tmux is not installed";
  TmuxSession session("printf before; read x; " + quoted(OXAVISTREL_PATH) +
                      " --foreground red --bold on; printf after; "
                      "exec sleep 120");
  ASSERT_TRUE(session.started());
  std::optional<std::string> pane = session.wait_for("before");
  ASSERT_TRUE(pane);
  std::optional<Rendition> plain = rendition_at(*pane, "before");
  ASSERT_TRUE(plain);
  EXPECT_FALSE(plain->bold);
  EXPECT_EQ(plain->foreground, -1);

  session.press_enter();
  pane = session.wait_for("after");
  ASSERT_TRUE(pane);
  std::optional<Rendition> styled = rendition_at(*pane, "after");
  ASSERT_TRUE(styled);
  EXPECT_TRUE(styled->bold) << *pane;
  EXPECT_EQ(styled->foreground, 1) << *pane;
}

TEST(VistrelOnATerminal, HidesAndShowsTheCursor) {
  if (!tmux_installed()) GTEST_SKIP() << "tmux is not installed";
  std::string program = quoted(OXAVISTREL_PATH);
  TmuxSession session("printf ready; read x; " + program +
                      " --cursor off; printf hidden; read x; " + program +
                      " --cursor on; printf shown; exec sleep 120");
  ASSERT_TRUE(session.started());
  ASSERT_TRUE(session.wait_for("ready"));
  EXPECT_EQ(session.cursor_flag(), "1\n");

  session.press_enter();
  ASSERT_TRUE(session.wait_for("hidden"));
  EXPECT_EQ(session.cursor_flag(), "0\n");

  session.press_enter();
  ASSERT_TRUE(session.wait_for("shown"));
  EXPECT_EQ(session.cursor_flag(), "1\n");
}

}  // namespace
