#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
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
};

}  // namespace

DeviceNodes& SystemDeviceNodes() {
  static SystemNodes nodes;
  return nodes;
}
