#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "device/linux/DeviceNodes.h"

namespace {

class SystemNode final : public DeviceNode {
 public:
  explicit SystemNode(int descriptor) : descriptor_(descriptor) {}
  ~SystemNode() override { ::close(descriptor_); }
  SystemNode(const SystemNode&) = delete;
  SystemNode& operator=(const SystemNode&) = delete;

  int Ioctl(unsigned long request, void* argument) override {
    return ::ioctl(descriptor_, request, argument) < 0 ? errno : 0;
  }

  int Lock(bool exclusive) override {
    return ::flock(descriptor_, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) < 0 ? errno : 0;
  }

 private:
  int descriptor_;
};

class SystemNodes final : public DeviceNodes {
 public:
  OpenedNode Open(const std::string& path, int flags) override {
    const int descriptor = ::open(path.c_str(), flags | O_CLOEXEC);
    if (descriptor < 0) return {nullptr, errno};
    return {std::make_unique<SystemNode>(descriptor), 0};
  }

  NodeStatus Status(const std::string& path) override {
    NodeStatus status;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
      status.error = errno;
      return status;
    }
    if (S_ISBLK(info.st_mode)) status.kind = NodeStatus::Kind::Block;
    if (S_ISCHR(info.st_mode)) status.kind = NodeStatus::Kind::Character;
    status.major = ::major(info.st_rdev);
    status.minor = ::minor(info.st_rdev);
    return status;
  }
};

}  // namespace

DeviceNodes& SystemDeviceNodes() {
  static SystemNodes nodes;
  return nodes;
}
