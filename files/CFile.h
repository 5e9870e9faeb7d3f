#pragma once
// A file opened for reading firmware, in the operating system's own terms.
// The build picks the back end: CFileWin32.cpp or CFilePosix.cpp.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "files/FirmwareFile.h"

class CFile final : public FirmwareFile {
 public:
  CFile();
  ~CFile() override;  // closes what is still open
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;

  // Opening again first closes what was open.
  bool Open(const std::string& path) override;
  // Told by the POSIX back end; the Windows program shows one text for every
  // failed open, so its back end leaves it Unstated.
  OpenFailure LastOpenFailure() const override { return openFailure_; }
  std::optional<std::uint64_t> SeekToEnd() override;
  bool SeekToBegin() override;
  // One read request; fewer bytes than asked for at the end of the file.
  std::optional<std::size_t> Read(void* buffer, std::size_t count) override;
  void Close() override;

  bool IsOpen() const;

 private:
  struct Handle;  // the back end's handle, closed by its own destructor
  std::unique_ptr<Handle> handle_;
  OpenFailure openFailure_;
};
