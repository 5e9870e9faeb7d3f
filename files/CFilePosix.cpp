#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>

#include "files/CFile.h"

// POSIX has no sharing mode: nothing stops another program from writing the
// file while it is open here. Advisory locks would bind only programs that
// ask for them, so the rule that nobody writes the file meanwhile holds only
// on Windows.

namespace {

class UniqueDescriptor {
 public:
  explicit UniqueDescriptor(int descriptor) : descriptor_(descriptor) {}
  ~UniqueDescriptor() {
    if (descriptor_ >= 0) ::close(descriptor_);
  }
  UniqueDescriptor(const UniqueDescriptor&) = delete;
  UniqueDescriptor& operator=(const UniqueDescriptor&) = delete;

  int Get() const { return descriptor_; }

 private:
  int descriptor_;
};

OpenFailure NotARegularFile(mode_t mode) {
  return {S_ISDIR(mode) ? OpenFailureKind::Folder : OpenFailureKind::NotRegularFile, 0};
}

// A failed open's reason. What the path names comes first: a folder or a
// pipe that may not be read is still no file to flash, whatever the error.
OpenFailure FailureOf(const std::string& path, int openError) {
  struct stat status {};
  if (::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) return NotARegularFile(status.st_mode);
  switch (openError) {
    case ENOENT:
    case ENOTDIR:  // a part of the path is a file: nothing of that name
      return {OpenFailureKind::NoSuchFile, openError};
    case EACCES:
    case EPERM:
      return {OpenFailureKind::NoPermission, openError};
    default:
      return {OpenFailureKind::Other, openError};
  }
}

std::optional<std::uint64_t> MoveOffset(int descriptor, int from) {
  const off_t offset = ::lseek(descriptor, 0, from);
  if (offset < 0) return std::nullopt;
  return static_cast<std::uint64_t>(offset);
}

}  // namespace

struct CFile::Handle : UniqueDescriptor {
  using UniqueDescriptor::UniqueDescriptor;
};

CFile::CFile() = default;
CFile::~CFile() = default;

// Only a regular file opens, as on Windows, where a folder does not open as a
// file. A folder would otherwise open and report a length of its own (a
// folder named x.bin was called "larger than 512 KiB"); a named pipe would
// hold the open until a writer came, hence the open without blocking, which
// is taken back once the file is known to be regular.
bool CFile::Open(const std::string& path) {
  Close();
  openFailure_ = {};
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (descriptor < 0) {
    openFailure_ = FailureOf(path, errno);
    return false;
  }
  auto opened = std::make_unique<Handle>(descriptor);
  struct stat status {};
  if (::fstat(opened->Get(), &status) != 0) {
    openFailure_ = {OpenFailureKind::Other, errno};
    return false;
  }
  if (!S_ISREG(status.st_mode)) {
    openFailure_ = NotARegularFile(status.st_mode);
    return false;
  }
  // O_NONBLOCK was the only status flag it was opened with that F_SETFL sets.
  if (::fcntl(opened->Get(), F_SETFL, 0) != 0) {
    openFailure_ = {OpenFailureKind::Other, errno};
    return false;
  }
  handle_ = std::move(opened);
  return true;
}

std::optional<std::uint64_t> CFile::SeekToEnd() {
  if (!handle_) return std::nullopt;
  return MoveOffset(handle_->Get(), SEEK_END);
}

bool CFile::SeekToBegin() { return handle_ && MoveOffset(handle_->Get(), SEEK_SET).has_value(); }

std::optional<std::size_t> CFile::Read(void* buffer, std::size_t count) {
  if (!handle_) return std::nullopt;
  ssize_t read = 0;
  do {
    read = ::read(handle_->Get(), buffer, std::min<std::size_t>(count, SSIZE_MAX));
  } while (read < 0 && errno == EINTR);
  if (read < 0) return std::nullopt;
  return static_cast<std::size_t>(read);
}

void CFile::Close() { handle_.reset(); }

bool CFile::IsOpen() const { return handle_ != nullptr; }
