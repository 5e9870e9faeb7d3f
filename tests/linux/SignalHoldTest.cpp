#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <string>

#include "cli/SignalHold.h"

namespace {

constexpr char kMessage[] = "held\n";

// The read end of a pipe the hold writes its line to.
class SignalHoldTest : public testing::Test {
 protected:
  SignalHoldTest() {
    EXPECT_EQ(::pipe2(ends, O_NONBLOCK), 0);
  }
  ~SignalHoldTest() override {
    ::close(ends[0]);
    ::close(ends[1]);
  }
  std::string Written() {
    char buffer[256];
    const ssize_t length = ::read(ends[0], buffer, sizeof buffer);
    return length > 0 ? std::string(buffer, static_cast<std::size_t>(length)) : std::string();
  }
  int ends[2] = {-1, -1};
};

class EachSignal : public SignalHoldTest, public testing::WithParamInterface<int> {};

TEST_P(EachSignal, IsKeptAndAnsweredOnceThenTheFormerActionIsBack) {
  struct sigaction before {};
  sigaction(GetParam(), nullptr, &before);
  SignalHold hold(ends[1], kMessage);
  hold.Begin();
  ::raise(GetParam());
  ::raise(SIGTERM);
  ::raise(GetParam());
  EXPECT_EQ(hold.End(), GetParam());
  EXPECT_EQ(Written(), kMessage);

  struct sigaction after {};
  sigaction(GetParam(), nullptr, &after);
  EXPECT_EQ(after.sa_handler, before.sa_handler);
}

INSTANTIATE_TEST_SUITE_P(Signals, EachSignal, testing::Values(SIGINT, SIGTERM, SIGHUP, SIGTSTP, SIGQUIT));

TEST_F(SignalHoldTest, NothingArrivedIsZeroAndNoLine) {
  SignalHold hold(ends[1], kMessage);
  hold.Begin();
  EXPECT_EQ(hold.End(), 0);
  EXPECT_EQ(Written(), "");
}

TEST_F(SignalHoldTest, ASecondHoldStartsAfresh) {
  SignalHold hold(ends[1], kMessage);
  hold.Begin();
  ::raise(SIGHUP);
  EXPECT_EQ(hold.End(), SIGHUP);
  Written();
  hold.Begin();
  ::raise(SIGINT);
  EXPECT_EQ(hold.End(), SIGINT);
  EXPECT_EQ(Written(), kMessage);
}

}  // namespace
