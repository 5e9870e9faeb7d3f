#pragma once
// A logind inhibitor lock on sleep and shutdown, taken over the system bus.
#include <optional>
#include <string>

#include "cli/CliContext.h"

class LogindInhibitor final : public SleepInhibitor {
 public:
  LogindInhibitor(std::string who, std::string why) : who_(std::move(who)), why_(std::move(why)) {}
  ~LogindInhibitor();
  LogindInhibitor(const LogindInhibitor&) = delete;
  LogindInhibitor& operator=(const LogindInhibitor&) = delete;

  std::optional<std::string> Hold() override;
  void Release() override;  // the lock lasts as long as its descriptor

 private:
  std::string who_;
  std::string why_;
  int lock_ = -1;
};
