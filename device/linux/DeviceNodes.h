#pragma once
// The two system calls a drive is reached by on Linux, open(2) and ioctl(2),
// as a seam: SystemDeviceNodes.cpp makes the real calls, the tests put an
// emulated kernel behind it.
#include <memory>
#include <string>

class DeviceNode {
 public:
  virtual ~DeviceNode() = default;  // closes the node
  // ioctl(2) on the open node: 0, or the errno it failed with.
  virtual int Ioctl(unsigned long request, void* argument) = 0;
};

struct OpenedNode {
  std::unique_ptr<DeviceNode> node;  // null when the open failed
  int error = 0;                     // errno of a failed open
};

class DeviceNodes {
 public:
  // open(2) of path with flags (O_RDONLY, O_RDWR, O_EXCL, O_NONBLOCK, ...).
  virtual OpenedNode Open(const std::string& path, int flags) = 0;

 protected:
  ~DeviceNodes() = default;
};

// The system's own calls.
DeviceNodes& SystemDeviceNodes();
