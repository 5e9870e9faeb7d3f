#pragma once
// A FirmwareFile held in memory, with the faults an operating system can show.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "files/FirmwareFile.h"

struct FileFaults {
  bool open = false;              // Open fails
  OpenFailure openFailure{};      // and says why
  bool seekToEnd = false;         // SeekToEnd fails
  int seekToBeginCall = 0;        // this call of SeekToBegin (from 1) and later ones fail; 0: none
  bool read = false;              // Read fails
  std::size_t readShortBy = 0;    // Read delivers this many bytes fewer than it could
};

class FakeFirmwareFile final : public FirmwareFile {
 public:
  explicit FakeFirmwareFile(std::vector<std::uint8_t> contents = {}, FileFaults faults = {})
      : contents_(std::move(contents)), faults_(faults) {}

  bool Open(const std::string& path) override;
  OpenFailure LastOpenFailure() const override { return faults_.open ? faults_.openFailure : OpenFailure{}; }
  std::optional<std::uint64_t> SeekToEnd() override;
  bool SeekToBegin() override;
  std::optional<std::size_t> Read(void* buffer, std::size_t count) override;
  void Close() override;

  bool IsOpen() const { return open_; }
  int Opens() const { return opens_; }
  const std::string& OpenedPath() const { return path_; }

 private:
  std::vector<std::uint8_t> contents_;
  FileFaults faults_;
  bool open_ = false;
  int opens_ = 0;
  int seekToBeginCalls_ = 0;
  std::size_t position_ = 0;
  std::string path_;
};
