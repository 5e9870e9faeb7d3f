#pragma once
// A SCSI CD-ROM with no disc as a kernel's target sees it: answers INQUIRY
// with its identity and TEST UNIT READY with "no medium", hands the vendor
// page write to the emulated combo drive (its checks, its verdict, its image),
// and refuses every other command with ILLEGAL REQUEST. Keeps a log of every
// command for the test to read.
//
// A drive that goes silent leaves a command unanswered: the INQUIRY when the
// target's timing says it never answers one, the page writes likewise, or
// the one page it is told to hang on or to be pulled out at. The kernel then
// gives up on it by its own time-outs; the held command is let go once the
// kernel sends another of its kind, which it does only after giving up, or
// by the ring itself once the kernel aborts it (TcmuRing).
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "testing/drive/AnswerTiming.h"
#include "testing/drive/EmulatedDrive.h"
#include "testing/tcmu/TcmuRing.h"

struct TargetCommand {
  std::vector<std::uint8_t> cdb;  // as the kernel handed it
  std::size_t dataLength = 0;
  std::uint8_t scsiStatus = 0;
  SenseCode sense;
  bool answered = true;
};

class CdromTarget final : public TcmuCommandHandler {
 public:
  explicit CdromTarget(EmulatedDrive& drive);

  std::optional<TcmuAnswer> Handle(const TcmuCommand& command) override;
  std::optional<TcmuAnswer> Overtaken(const TcmuCommand& held, const TcmuCommand& later) override;

  // The drive hangs on the write of this page (1 to 32; 0: none) and never answers it.
  void StopAnsweringAtPage(int page) { silentPage_ = page; }
  // The drive is pulled out while this page is under way: detach is called
  // once, as the page arrives, and the page is never answered.
  void DetachAtPage(int page, std::function<void()> detach) {
    detachPage_ = page;
    detach_ = std::move(detach);
  }

  // When the INQUIRY and the page writes are answered: at once, late or never.
  void SetTiming(AnswerTiming timing) { timing_ = timing; }

  const std::vector<TargetCommand>& Log() const { return log_; }
  // How long to wait before answering late; the wait itself is left to
  // whoever runs the ring.
  using Sleeper = std::function<void(std::chrono::milliseconds)>;
  void SetSleeper(Sleeper sleeper) { sleep_ = std::move(sleeper); }

 private:
  std::optional<TcmuAnswer> Inquiry(const TcmuCommand& command);
  std::optional<TcmuAnswer> PageWrite(const TcmuCommand& command);

  EmulatedDrive& drive_;
  AnswerTiming timing_;
  std::vector<TargetCommand> log_;
  int pagesSeen_ = 0;
  Sleeper sleep_;
  int silentPage_ = 0;
  int detachPage_ = 0;
  std::function<void()> detach_;
};

TcmuAnswer CheckCondition(SenseCode sense);
