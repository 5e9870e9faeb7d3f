// comboflash_tcmu_drive: the emulated combo drive behind a kernel's SCSI
// target. Serves one TCMU device's command ring (its /dev/uioN) until told to
// stop (SIGTERM or SIGINT), then writes what it saw: a report with the
// drive's verdict and every command, and the image the drive accepted.
//
//   comboflash_tcmu_drive --uio /dev/uioN --report FILE --image FILE
//       [--ready FILE] [--vendor V] [--product P] [--revision R]
//       [--refuse-page K] [--refusal-sense KEY/ASC/ASCQ (hex)]
//       [--page-timing immediate|late|never] [--late-by MS]
//       [--inquiry-timing immediate|never]
//       [--silent-page K] [--detach-page K --detach-command CMD]
//
// --silent-page: the drive hangs on page K and never answers it.
// --detach-page: the drive is pulled out while page K is under way: CMD is
// run (by the shell, in the background: taking a device away waits for the
// command under way to end) and page K is never answered.
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <thread>

#include "testing/tcmu/CdromTarget.h"
#include "testing/tcmu/TargetReport.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;
void RequestStop(int) { stopRequested = 1; }

constexpr int kPollMilliseconds = 200;

int Fail(const std::string& text) {
  std::cerr << "comboflash_tcmu_drive: " << text << "\n";
  return 1;
}

// The map's size as the uio device states it: the whole area is mapped.
std::size_t MapSize(const std::string& device) {
  const std::string name = device.substr(device.rfind('/') + 1);
  std::ifstream file("/sys/class/uio/" + name + "/maps/map0/size");
  std::string text;
  file >> text;
  return text.empty() ? 0 : std::stoull(text, nullptr, 0);
}

class Mapping {
 public:
  Mapping(int fd, std::size_t size) : size_(size) {
    void* address = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (address != MAP_FAILED) base_ = static_cast<std::uint8_t*>(address);
  }
  ~Mapping() {
    if (base_) munmap(base_, size_);
  }
  Mapping(const Mapping&) = delete;
  Mapping& operator=(const Mapping&) = delete;
  std::span<std::uint8_t> Area() const { return {base_, base_ ? size_ : 0}; }

 private:
  std::uint8_t* base_ = nullptr;
  std::size_t size_;
};

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int Get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

int main(int argc, char** argv) {
  std::map<std::string, std::string> options;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strncmp(argv[i], "--", 2) != 0) return Fail(std::string("unexpected argument ") + argv[i]);
    options[argv[i] + 2] = argv[i + 1];
  }
  if (argc % 2 == 0) return Fail("every option takes a value");
  for (const char* required : {"uio", "report", "image"}) {
    if (!options.count(required)) return Fail(std::string("--") + required + " is required");
  }

  InquiryData identity;
  if (options.count("vendor")) identity.vendor = options["vendor"];
  if (options.count("product")) identity.product = options["product"];
  if (options.count("revision")) identity.revision = options["revision"];
  DriveBehaviour behaviour;
  behaviour.refusalSense = {0x03, 0x0C, 0x00};  // MEDIUM ERROR, write error
  AnswerTiming timing;
  try {
    if (options.count("refuse-page")) behaviour.refusedPage = std::stoi(options["refuse-page"]);
    if (options.count("refusal-sense")) {
      unsigned key = 0, asc = 0, ascq = 0;
      if (std::sscanf(options["refusal-sense"].c_str(), "%x/%x/%x", &key, &asc, &ascq) != 3) {
        return Fail("--refusal-sense takes KEY/ASC/ASCQ in hex");
      }
      behaviour.refusalSense = {static_cast<std::uint8_t>(key), static_cast<std::uint8_t>(asc),
                                static_cast<std::uint8_t>(ascq)};
    }
    if (options.count("late-by")) timing.lateBy = std::chrono::milliseconds(std::stoi(options["late-by"]));
  } catch (const std::exception&) {
    return Fail("a number is not a number");
  }
  int silentPage = 0, detachPage = 0;
  try {
    if (options.count("silent-page")) silentPage = std::stoi(options["silent-page"]);
    if (options.count("detach-page")) detachPage = std::stoi(options["detach-page"]);
  } catch (const std::exception&) {
    return Fail("a page is a number");
  }
  if (detachPage != 0 && !options.count("detach-command")) return Fail("--detach-page needs --detach-command");
  const std::string inquiryTiming = options.count("inquiry-timing") ? options["inquiry-timing"] : "immediate";
  if (inquiryTiming == "never") {
    timing.inquiry = AnswerTiming::When::Never;
  } else if (inquiryTiming != "immediate") {
    return Fail("--inquiry-timing is immediate or never");
  }
  const std::string pageTiming = options.count("page-timing") ? options["page-timing"] : "immediate";
  if (pageTiming == "late") {
    timing.pages = AnswerTiming::When::Late;
  } else if (pageTiming == "never") {
    timing.pages = AnswerTiming::When::Never;
  } else if (pageTiming != "immediate") {
    return Fail("--page-timing is immediate, late or never");
  }

  EmulatedDrive drive(identity, behaviour);
  CdromTarget target(drive);
  target.SetTiming(timing);
  target.StopAnsweringAtPage(silentPage);
  if (detachPage != 0) {
    target.DetachAtPage(detachPage, [command = options["detach-command"]] {
      std::thread([command] {
        if (std::system(command.c_str()) != 0) std::cerr << "comboflash_tcmu_drive: " << command << " failed\n";
      }).detach();
    });
  }

  FileDescriptor uio(open(options["uio"].c_str(), O_RDWR | O_CLOEXEC));
  if (uio.Get() < 0) return Fail("cannot open " + options["uio"] + ": " + std::strerror(errno));
  const std::size_t size = MapSize(options["uio"]);
  if (size == 0) return Fail("cannot read the map size of " + options["uio"]);
  Mapping mapping(uio.Get(), size);
  if (mapping.Area().empty()) return Fail("cannot map " + options["uio"] + ": " + std::strerror(errno));
  TcmuRing ring(mapping.Area());
  if (!ring.Usable()) return Fail(ring.Problem());

  std::signal(SIGTERM, RequestStop);
  std::signal(SIGINT, RequestStop);
  if (options.count("ready")) std::ofstream(options["ready"]) << "serving " << options["uio"] << "\n";

  while (!stopRequested) {
    // A held command is looked at again each time: one queued behind it may let it go.
    if (ring.Process(target) > 0) {
      const std::uint32_t done = 0;
      if (write(uio.Get(), &done, sizeof done) != sizeof done) return Fail("cannot tell the kernel");
    }
    pollfd wait{uio.Get(), POLLIN, 0};
    if (poll(&wait, 1, kPollMilliseconds) > 0 && (wait.revents & POLLIN)) {
      std::uint32_t events = 0;
      if (read(uio.Get(), &events, sizeof events) != sizeof events) return Fail("cannot read the ring's events");
    }
  }

  if (!WriteTargetReport(options["report"], drive, target.Log())) return Fail("cannot write " + options["report"]);
  std::ofstream image(options["image"], std::ios::binary);
  image.write(reinterpret_cast<const char*>(drive.Image().data()), static_cast<std::streamsize>(drive.Image().size()));
  if (!image) return Fail("cannot write " + options["image"]);
  return 0;
}
