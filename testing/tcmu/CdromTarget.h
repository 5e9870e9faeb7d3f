#pragma once
// A SCSI CD-ROM with no disc as a kernel's target sees it: answers INQUIRY
// with its identity and TEST UNIT READY with "no medium", hands the vendor
// page write to the emulated combo drive (its checks, its verdict, its image),
// and refuses every other command with ILLEGAL REQUEST. Keeps a log of every
// command for the test to read.
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "testing/drive/EmulatedDrive.h"
#include "testing/tcmu/TcmuRing.h"

struct SenseCode {
  std::uint8_t key = 0;
  std::uint8_t asc = 0;
  std::uint8_t ascq = 0;
};

struct TargetCommand {
  std::vector<std::uint8_t> cdb;  // as the kernel handed it
  std::size_t dataLength = 0;
  std::uint8_t scsiStatus = 0;
  SenseCode sense;
  bool answered = true;
};

class CdromTarget final : public TcmuCommandHandler {
 public:
  // refusalSense: what a refused page write reports.
  CdromTarget(EmulatedDrive& drive, SenseCode refusalSense);

  std::optional<TcmuAnswer> Handle(const TcmuCommand& command) override;

  const std::vector<TargetCommand>& Log() const { return log_; }
  // How long to wait before answering a page write: the drive's behaviour
  // says late or never; the wait itself is left to whoever runs the ring.
  using Sleeper = std::function<void(std::chrono::milliseconds)>;
  void SetSleeper(Sleeper sleeper) { sleep_ = std::move(sleeper); }

 private:
  TcmuAnswer Inquiry(const TcmuCommand& command);
  std::optional<TcmuAnswer> PageWrite(const TcmuCommand& command);

  EmulatedDrive& drive_;
  SenseCode refusalSense_;
  std::vector<TargetCommand> log_;
  int pagesSeen_ = 0;
  Sleeper sleep_;
};

TcmuAnswer CheckCondition(SenseCode sense);
