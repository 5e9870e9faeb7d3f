#pragma once
// The user side of the kernel's TCMU command ring: a mailbox at the start of
// the shared area, a ring of command entries after it, and data buffers
// further on, all addressed by offsets from the start of the area. Works on
// any memory that holds such an area, so a test can lay one out by hand.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "testing/drive/ScsiWireValues.h"

// One SCSI command as the ring delivers it.
struct TcmuCommand {
  std::span<const std::uint8_t> cdb;             // as many bytes as the kernel passed
  std::vector<std::span<std::uint8_t>> buffers;  // the data, in order (in or out)
  std::size_t DataLength() const;
  void CopyIn(std::span<const std::uint8_t> bytes) const;  // fills the buffers (data-in), zeros after bytes
  std::vector<std::uint8_t> CopyOut() const;               // gathers the buffers (data-out)
};

struct TcmuAnswer {
  std::uint8_t scsiStatus = 0;
  std::array<std::uint8_t, scsi_wire::kFixedSenseLength> sense{};  // fixed format; used with CHECK CONDITION
};

class TcmuCommandHandler {
 public:
  virtual ~TcmuCommandHandler() = default;
  // The answer, or none to leave the command unanswered: the ring then
  // stops there, since the kernel takes answers in the order it sent.
  virtual std::optional<TcmuAnswer> Handle(const TcmuCommand& command) = 0;
  // A command left unanswered, with a later one queued behind it: an answer
  // retires it (and the ring goes on), none keeps holding it. The kernel
  // that has given up on a command ignores its late answer.
  virtual std::optional<TcmuAnswer> Overtaken(const TcmuCommand& held, const TcmuCommand& later) {
    (void)held;
    (void)later;
    return std::nullopt;
  }
};

class TcmuRing {
 public:
  // area: the whole shared map; fails (Problem() says why) unless it holds a
  // mailbox this code understands.
  explicit TcmuRing(std::span<std::uint8_t> area);

  bool Usable() const { return problem_.empty(); }
  const std::string& Problem() const { return problem_; }

  // Answers every command the kernel has put in the ring since the last
  // call. Returns how many entries it retired; stops early at a command the
  // handler leaves unanswered (Held() then stays true). A held command the
  // kernel has since aborted (a task management notice behind it names it)
  // is retired at once with TASK ABORTED, as a drive's transport ends an
  // aborted task; otherwise it is offered to the handler's Overtaken with
  // each command queued behind it.
  int Process(TcmuCommandHandler& handler);
  bool Held() const { return held_; }

 private:
  // The command of the entry at offset within the ring, or none when its
  // request cannot be read (it points outside the area).
  std::optional<TcmuCommand> ReadCommand(std::uint8_t* entry, std::uint32_t length) const;
  // An answer for the held command at tail from the first command behind it
  // that overtakes it.
  std::optional<TcmuAnswer> Overtake(TcmuCommandHandler& handler, std::uint32_t tail, std::uint32_t head);
  // Whether a task management notice between tail and head names the command at tail.
  bool Aborted(std::uint32_t tail, std::uint32_t head) const;

  std::span<std::uint8_t> area_;
  std::string problem_;
  bool held_ = false;
};
