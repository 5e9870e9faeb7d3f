#include "cli/LogindInhibitor.h"

#include <fcntl.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>

namespace {

constexpr char kService[] = "org.freedesktop.login1";
constexpr char kObject[] = "/org/freedesktop/login1";
constexpr char kInterface[] = "org.freedesktop.login1.Manager";
constexpr char kWhat[] = "sleep:shutdown";
constexpr char kMode[] = "block";
// A bus whose logind does not start must not hold the flash up for long.
constexpr std::uint64_t kCallTimeoutMicroseconds = 5'000'000;

struct BusUnref {
  void operator()(sd_bus* bus) const { sd_bus_flush_close_unref(bus); }
};
struct MessageUnref {
  void operator()(sd_bus_message* message) const { sd_bus_message_unref(message); }
};

}  // namespace

LogindInhibitor::~LogindInhibitor() { Release(); }

std::optional<std::string> LogindInhibitor::Hold() {
  Release();
  sd_bus* rawBus = nullptr;
  if (const int error = sd_bus_open_system(&rawBus); error < 0) return std::string(std::strerror(-error));
  const std::unique_ptr<sd_bus, BusUnref> bus(rawBus);
  sd_bus_set_method_call_timeout(bus.get(), kCallTimeoutMicroseconds);

  sd_bus_error failure = SD_BUS_ERROR_NULL;
  sd_bus_message* rawReply = nullptr;
  const int called = sd_bus_call_method(bus.get(), kService, kObject, kInterface, "Inhibit", &failure, &rawReply,
                                        "ssss", kWhat, who_.c_str(), why_.c_str(), kMode);
  const std::unique_ptr<sd_bus_message, MessageUnref> reply(rawReply);
  if (called < 0) {
    std::string why = failure.message ? failure.message : std::strerror(-called);
    sd_bus_error_free(&failure);
    return why;
  }
  int descriptor = -1;
  if (const int error = sd_bus_message_read(reply.get(), "h", &descriptor); error < 0) {
    return std::string(std::strerror(-error));
  }
  // The descriptor belongs to the reply: keep a copy of our own.
  lock_ = ::fcntl(descriptor, F_DUPFD_CLOEXEC, 3);
  if (lock_ < 0) return std::string(std::strerror(errno));
  return std::nullopt;
}

void LogindInhibitor::Release() {
  if (lock_ >= 0) ::close(lock_);
  lock_ = -1;
}
