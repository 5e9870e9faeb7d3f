#pragma once
// A TCMU shared area in memory, filled the way the kernel fills it: a
// mailbox, a command ring whose entries never wrap (a padding entry fills
// the ring's end instead), and a data area the entries point into.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "testing/tcmu/TcmuLayout.h"

class FakeTcmuArea {
 public:
  static constexpr std::uint32_t kRingOffset = 128;

  explicit FakeTcmuArea(std::uint32_t ringSize = 4096, std::size_t dataSize = 64 * 1024);

  std::span<std::uint8_t> Area() { return {bytes_.data(), bytes_.size()}; }
  void SetMailbox(std::uint16_t version, std::uint32_t ringOffset, std::uint32_t ringSize);
  std::uint32_t Head() const { return tcmu::Load<std::uint32_t>(bytes_.data(), tcmu::kHeadAt); }
  std::uint32_t Tail() const { return tcmu::Load<std::uint32_t>(bytes_.data(), tcmu::kTailAt); }

  // Queues one command with one buffer per entry of bufferSizes (data-out
  // buffers are filled from dataOut, in order); returns the entry's offset
  // in the ring. cdb is copied whole, as long as it is. Each command gets an
  // id of its own, counted from 1 (CommandId).
  std::uint32_t Queue(std::span<const std::uint8_t> cdb, std::vector<std::size_t> bufferSizes,
                      std::span<const std::uint8_t> dataOut = {});
  // Queues a task management notice (an abort) ending the commands with these ids.
  std::uint32_t QueueTaskManagement(std::vector<std::uint16_t> commandIds = {});
  // Queues an entry of a kind the ring's user cannot know.
  std::uint32_t QueueUnknownKind();
  std::uint16_t CommandId(std::uint32_t entry) const { return tcmu::Load<std::uint16_t>(At(entry), tcmu::kCommandIdAt); }
  // Pads the rest of the ring so the next entry starts at its beginning.
  void PadToEnd();
  // Points the entry's first buffer elsewhere.
  void MoveFirstBuffer(std::uint32_t entry, std::uint64_t offset);

  std::uint8_t Status(std::uint32_t entry) const { return At(entry)[tcmu::kStatusAt]; }
  std::uint8_t SenseKey(std::uint32_t entry) const { return At(entry)[tcmu::kSenseAt + 2]; }
  std::uint8_t UserFlags(std::uint32_t entry) const { return At(entry)[tcmu::kUserFlagsAt]; }
  // The data area: buffers are laid out from its start in queueing order.
  std::span<const std::uint8_t> Data() const {
    return std::span<const std::uint8_t>(bytes_).subspan(kRingOffset + ringSize_);
  }

 private:
  std::uint32_t Reserve(std::uint32_t length, std::uint32_t op);
  const std::uint8_t* At(std::uint32_t entry) const { return bytes_.data() + kRingOffset + entry; }
  std::uint8_t* At(std::uint32_t entry) { return bytes_.data() + kRingOffset + entry; }

  std::vector<std::uint8_t> bytes_;
  std::uint32_t ringSize_;
  std::size_t dataNext_;
  std::uint16_t nextId_ = 1;
};
