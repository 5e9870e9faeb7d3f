#pragma once
// An emulated kernel behind the stat/open/flock/ioctl seam: device nodes by
// path, each an emulated drive taking SG_IO requests the way the kernel hands
// them on, with the kernel's own refusals on request. A block node's O_EXCL
// excludes only other O_EXCL opens (and mounts: FailOpen with EBUSY); a SCSI
// generic (character) node's excludes every other open, and needs write
// access; flock locks conflict as flock's do.
#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "device/linux/DeviceNodes.h"
#include "testing/drive/EmulatedDrive.h"

// What the emulated kernel does to one command instead of passing it on.
struct SgFault {
  int page = 0;          // the page write it hits; 0: the INQUIRY
  int ioctlError = 0;    // the ioctl fails with this errno
  std::uint8_t hostStatus = 0;    // or the request comes back with these
  std::uint8_t driverStatus = 0;
  // The drive never answers it: the kernel waits out the request's time-out
  // (counted in Waited(), not slept), aborts it and reports a time-out.
  bool silent = false;
  // The drive is pulled out while it is under way: it comes back with no
  // connect, and every later request on the node fails with ENODEV.
  bool detach = false;
};

struct SgOpen {
  std::string path;
  int flags = 0;
};

// The device numbers the kernel gives optical drives' block nodes and SCSI
// generic nodes.
inline constexpr unsigned kSrMajor = 11;
inline constexpr unsigned kSgMajor = 21;

class EmulatedSgNodes final : public DeviceNodes {
 public:
  // A drive answering at path, a node of the given kind and number; several
  // nodes may reach one drive.
  void AddDrive(const std::string& path, EmulatedDrive& drive, NodeStatus::Kind kind = NodeStatus::Kind::Block,
                unsigned major = kSrMajor, unsigned minor = 0);
  // A node at path that is no SCSI device: SG_IO fails with ENOTTY.
  void AddOtherNode(const std::string& path, NodeStatus::Kind kind = NodeStatus::Kind::Character, unsigned major = 1,
                    unsigned minor = 3);
  // A symbolic link at path to target, followed by open and stat.
  void AddLink(const std::string& path, const std::string& target);
  // Every open of path fails with error; with writeOnly, only opens for writing.
  void FailOpen(const std::string& path, int error, bool writeOnly = false);
  // Vendor commands need CAP_SYS_RAWIO: without it they fail with EPERM.
  void SetRawIo(bool allowed) { rawIo_ = allowed; }
  void AddFault(const std::string& path, SgFault fault);

  OpenedNode Open(const std::string& path, int flags) override;
  NodeStatus Status(const std::string& path) override;

  const std::vector<SgOpen>& Opens() const { return opens_; }
  // Every SG_IO request that reached a drive, and every one refused before.
  int IoctlCount() const { return ioctls_; }
  // How long the requests' time-outs made the emulated kernel wait, in all.
  std::chrono::milliseconds Waited() const { return waited_; }

 private:
  friend class EmulatedSgNode;
  struct Node {
    EmulatedDrive* drive = nullptr;  // null: not a SCSI device
    NodeStatus status;
    std::optional<int> openError;
    bool openErrorForWritingOnly = false;
    std::vector<SgFault> faults;
    int openCount = 0;
    bool exclusive = false;
    int sharedLocks = 0;
    bool exclusiveLock = false;
    bool detached = false;
  };

  std::string Resolved(const std::string& path) const;

  std::map<std::string, Node> nodes_;
  std::map<std::string, std::string> links_;
  std::vector<SgOpen> opens_;
  bool rawIo_ = true;
  int ioctls_ = 0;
  std::chrono::milliseconds waited_{0};
};
