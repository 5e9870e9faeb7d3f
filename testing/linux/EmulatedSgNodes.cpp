#include "testing/linux/EmulatedSgNodes.h"

#include <fcntl.h>
#include <scsi/sg.h>

#include <algorithm>
#include <cerrno>
#include <span>

#include "testing/drive/ScsiWireValues.h"

namespace {

constexpr std::uint8_t kDriverSense = 0x08;
constexpr std::uint8_t kHostNoConnect = 0x01;
constexpr std::uint8_t kHostTimeOut = 0x03;

}  // namespace

class EmulatedSgNode final : public DeviceNode {
 public:
  EmulatedSgNode(EmulatedSgNodes& kernel, std::string path, bool exclusive)
      : kernel_(kernel), path_(std::move(path)), exclusive_(exclusive) {}
  ~EmulatedSgNode() override {
    auto& node = kernel_.nodes_.at(path_);
    --node.openCount;
    if (exclusive_) node.exclusive = false;
    Unlock(node);
  }
  EmulatedSgNode(const EmulatedSgNode&) = delete;
  EmulatedSgNode& operator=(const EmulatedSgNode&) = delete;

  int Lock(bool exclusive) override {
    auto& node = kernel_.nodes_.at(path_);
    Unlock(node);  // flock converts a lock this open holds
    if (node.exclusiveLock || (exclusive && node.sharedLocks > 0)) return EWOULDBLOCK;
    if (exclusive) {
      node.exclusiveLock = true;
    } else {
      ++node.sharedLocks;
    }
    lock_ = exclusive ? Held::Exclusive : Held::Shared;
    return 0;
  }

  int Ioctl(unsigned long request, void* argument) override {
    ++kernel_.ioctls_;
    auto& node = kernel_.nodes_.at(path_);
    if (node.detached) return ENODEV;
    if (request != SG_IO || !node.drive) return ENOTTY;
    auto& header = *static_cast<sg_io_hdr_t*>(argument);
    if (header.interface_id != 'S' || header.cmd_len == 0 || header.cmd_len > 16 || !header.cmdp) return EINVAL;

    const std::span<const std::uint8_t> cdb(header.cmdp, header.cmd_len);
    const bool vendor = cdb[0] != scsi_wire::kInquiryOpcode;
    if (vendor && !kernel_.rawIo_) return EPERM;
    const int page = vendor && cdb.size() > 10 ? cdb[10] : 0;
    const auto fault = std::find_if(node.faults.begin(), node.faults.end(),
                                    [&](const SgFault& f) { return f.page == page; });
    if (fault != node.faults.end()) {
      if (fault->ioctlError != 0) return fault->ioctlError;
      header.status = 0;
      header.host_status = fault->hostStatus;
      if (fault->silent) {
        kernel_.waited_ += std::chrono::milliseconds(header.timeout);
        header.host_status = kHostTimeOut;
      }
      if (fault->detach) {
        node.detached = true;
        header.host_status = kHostNoConnect;
      }
      header.driver_status = fault->driverStatus;
      header.sb_len_wr = 0;
      return 0;
    }

    DataDirection direction = DataDirection::None;
    if (header.dxfer_direction == SG_DXFER_FROM_DEV) direction = DataDirection::In;
    if (header.dxfer_direction == SG_DXFER_TO_DEV) direction = DataDirection::Out;
    const DriveAnswer answer =
        node.drive->Execute(cdb, direction, static_cast<std::uint8_t*>(header.dxferp), header.dxfer_len);
    header.status = answer.status;
    header.masked_status = static_cast<unsigned char>(answer.status >> 1);
    header.host_status = 0;
    header.driver_status = 0;
    header.sb_len_wr = 0;
    header.resid = 0;
    if (!answer.sense.empty()) {
      // As the kernel does: the drive's sense, flagged in the driver status.
      header.driver_status = kDriverSense;
      const std::size_t length = std::min<std::size_t>(header.mx_sb_len, answer.sense.size());
      if (header.sbp) std::copy_n(answer.sense.begin(), length, header.sbp);
      header.sb_len_wr = static_cast<unsigned char>(length);
    }
    return 0;
  }

 private:
  enum class Held { None, Shared, Exclusive };

  void Unlock(EmulatedSgNodes::Node& node) {
    if (lock_ == Held::Exclusive) node.exclusiveLock = false;
    if (lock_ == Held::Shared) --node.sharedLocks;
    lock_ = Held::None;
  }

  EmulatedSgNodes& kernel_;
  std::string path_;
  bool exclusive_;
  Held lock_ = Held::None;
};

void EmulatedSgNodes::AddDrive(const std::string& path, EmulatedDrive& drive, NodeStatus::Kind kind, unsigned major,
                               unsigned minor) {
  Node& node = nodes_[path];
  node.drive = &drive;
  node.status.kind = kind;
  node.status.major = major;
  node.status.minor = minor;
}

void EmulatedSgNodes::AddOtherNode(const std::string& path, NodeStatus::Kind kind, unsigned major, unsigned minor) {
  Node& node = nodes_[path];
  node.drive = nullptr;
  node.status.kind = kind;
  node.status.major = major;
  node.status.minor = minor;
}

void EmulatedSgNodes::AddLink(const std::string& path, const std::string& target) { links_[path] = target; }

void EmulatedSgNodes::FailOpen(const std::string& path, int error, bool writeOnly) {
  nodes_[path].openError = error;
  nodes_[path].openErrorForWritingOnly = writeOnly;
}

void EmulatedSgNodes::AddFault(const std::string& path, SgFault fault) { nodes_[path].faults.push_back(fault); }

std::string EmulatedSgNodes::Resolved(const std::string& path) const {
  const auto link = links_.find(path);
  return link == links_.end() ? path : link->second;
}

NodeStatus EmulatedSgNodes::Status(const std::string& path) {
  const auto found = nodes_.find(Resolved(path));
  if (found == nodes_.end()) {
    NodeStatus missing;
    missing.error = ENOENT;
    return missing;
  }
  return found->second.status;
}

OpenedNode EmulatedSgNodes::Open(const std::string& path, int flags) {
  opens_.push_back({path, flags});
  const std::string resolved = Resolved(path);
  const auto found = nodes_.find(resolved);
  if (found == nodes_.end()) return {nullptr, ENOENT};
  Node& node = found->second;
  const bool writing = (flags & O_ACCMODE) != O_RDONLY;
  if (node.openError && (writing || !node.openErrorForWritingOnly)) return {nullptr, *node.openError};
  const bool exclusive = (flags & O_EXCL) != 0;
  if (node.status.kind == NodeStatus::Kind::Character) {
    // The SCSI generic driver: an exclusive open needs write access and no
    // other open, and keeps every other open out.
    if (exclusive && !writing) return {nullptr, EPERM};
    if (node.exclusive || (exclusive && node.openCount > 0)) return {nullptr, EBUSY};
  } else if (exclusive && node.exclusive) {
    // A block device: exclusive openers exclude each other, plain opens
    // go on beside them.
    return {nullptr, EBUSY};
  }
  ++node.openCount;
  if (exclusive) node.exclusive = true;
  return {std::make_unique<EmulatedSgNode>(*this, resolved, exclusive), 0};
}
