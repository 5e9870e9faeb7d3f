#include "testing/engine/FakeFirmwareFile.h"

#include <algorithm>
#include <cstring>

bool FakeFirmwareFile::Open(const std::string& path) {
  path_ = path;
  if (faults_.open) return false;
  open_ = true;
  ++opens_;
  position_ = 0;
  return true;
}

std::optional<std::uint64_t> FakeFirmwareFile::SeekToEnd() {
  if (!open_ || faults_.seekToEnd) return std::nullopt;
  position_ = contents_.size();
  return position_;
}

bool FakeFirmwareFile::SeekToBegin() {
  ++seekToBeginCalls_;
  if (!open_ || (faults_.seekToBeginCall > 0 && seekToBeginCalls_ >= faults_.seekToBeginCall)) return false;
  position_ = 0;
  return true;
}

std::optional<std::size_t> FakeFirmwareFile::Read(void* buffer, std::size_t count) {
  if (!open_ || faults_.read) return std::nullopt;
  std::size_t n = std::min(count, contents_.size() - position_);
  n -= std::min(n, faults_.readShortBy);
  if (n > 0) std::memcpy(buffer, contents_.data() + position_, n);
  position_ += n;
  return n;
}

void FakeFirmwareFile::Close() { open_ = false; }
