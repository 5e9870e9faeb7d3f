#pragma once
// The file a firmware image is read from. The build picks the operating
// system's implementation (CFile); tests put faulty files behind it.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// Why a file did not open, as a value: each front end has its own words for it.
enum class OpenFailureKind {
  Unstated,        // the file layer does not tell
  NoSuchFile,
  Folder,
  NotRegularFile,  // a named pipe, a device or a socket
  NoPermission,
  Other,           // another error of the operating system's
};

struct OpenFailure {
  OpenFailureKind kind = OpenFailureKind::Unstated;
  int systemError = 0;  // the operating system's error number, where it gave one

  bool operator==(const OpenFailure&) const = default;
};

class FirmwareFile {
 public:
  virtual ~FirmwareFile() = default;

  // Opens an existing file read-only, as raw bytes, letting other programs read
  // it but not write it while it is open.
  virtual bool Open(const std::string& path) = 0;
  // Why the last Open failed; Unstated after one that succeeded, and from a
  // layer that cannot tell.
  virtual OpenFailure LastOpenFailure() const { return {}; }
  // Each returns nothing when the operating system reports an error.
  virtual std::optional<std::uint64_t> SeekToEnd() = 0;  // the new position: the file's length
  virtual bool SeekToBegin() = 0;
  virtual std::optional<std::size_t> Read(void* buffer, std::size_t count) = 0;
  // Safe to call when nothing is open.
  virtual void Close() = 0;
};
