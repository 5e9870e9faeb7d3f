#pragma once
// The system calls a drive is reached by on Linux, stat(2), open(2), flock(2)
// and ioctl(2), as a seam: SystemDeviceNodes.cpp makes the real calls, the
// tests put an emulated kernel behind it.
#include <memory>
#include <string>

class DeviceNode {
 public:
  virtual ~DeviceNode() = default;  // closes the node, and so drops its lock
  // ioctl(2) on the open node: 0, or the errno it failed with.
  virtual int Ioctl(unsigned long request, void* argument) = 0;
  // flock(2) without waiting, shared or exclusive: 0, or the errno it failed
  // with (EWOULDBLOCK while another open holds a lock that conflicts).
  virtual int Lock(bool exclusive) = 0;
};

struct OpenedNode {
  std::unique_ptr<DeviceNode> node;  // null when the open failed
  int error = 0;                     // errno of a failed open
};

// What stat(2) says a path is, links followed.
struct NodeStatus {
  enum class Kind { Block, Character, Other };
  int error = 0;  // errno of a failed stat; the rest then means nothing
  Kind kind = Kind::Other;
  unsigned major = 0;  // the device number of a block or character device
  unsigned minor = 0;

  bool SameDevice(const NodeStatus& other) const {
    return error == 0 && other.error == 0 && kind != Kind::Other && kind == other.kind && major == other.major &&
           minor == other.minor;
  }
};

class DeviceNodes {
 public:
  // open(2) of path with flags (O_RDONLY, O_RDWR, O_EXCL, O_NONBLOCK, ...).
  virtual OpenedNode Open(const std::string& path, int flags) = 0;
  // stat(2) of path.
  virtual NodeStatus Status(const std::string& path) = 0;

 protected:
  ~DeviceNodes() = default;
};

// The system's own calls.
DeviceNodes& SystemDeviceNodes();
