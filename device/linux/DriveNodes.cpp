#include "device/linux/DriveNodes.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <optional>
#include <system_error>

namespace {

namespace fs = std::filesystem;

// A device's nodes by kind, as folders of the SCSI device; bsg has no
// exclusive open, so there is nothing of it to hold.
struct NodeFolder {
  const char* folder;
  NodeStatus::Kind kind;
};
constexpr NodeFolder kNodeFolders[] = {{"block", NodeStatus::Kind::Block},
                                       {"scsi_generic", NodeStatus::Kind::Character}};

std::optional<std::string> FirstLine(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  if (!in || !std::getline(in, line)) return std::nullopt;
  return line;
}

std::optional<unsigned> Number(std::string_view text) {
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// "major:minor", as the dev attribute and the links under dev/ spell it.
std::string NumberText(const NodeStatus& node) { return std::to_string(node.major) + ":" + std::to_string(node.minor); }

std::optional<NodeStatus> ParseNumber(std::string_view text, NodeStatus::Kind kind) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const auto major = Number(text.substr(0, colon));
  const auto minor = Number(text.substr(colon + 1));
  if (!major || !minor) return std::nullopt;
  NodeStatus status;
  status.kind = kind;
  status.major = *major;
  status.minor = *minor;
  return status;
}

// A SCSI device is on the scsi bus and has a peripheral type; hosts and
// targets, on the same bus, have none.
bool IsScsiDevice(const fs::path& device) {
  std::error_code error;
  const fs::path subsystem = fs::canonical(device / "subsystem", error);
  return !error && subsystem.filename() == "scsi" && subsystem.parent_path().filename() == "bus" &&
         fs::exists(device / "type", error);
}

std::vector<DriveNodeName> NodesOf(const fs::path& device) {
  std::vector<DriveNodeName> nodes;
  for (const NodeFolder& folder : kNodeFolders) {
    std::vector<DriveNodeName> ofKind;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(device / folder.folder, error)) {
      const auto text = FirstLine(entry.path() / "dev");
      const auto number = text ? ParseNumber(*text, folder.kind) : std::nullopt;
      if (number) ofKind.push_back({entry.path().filename().string(), *number});
    }
    std::sort(ofKind.begin(), ofKind.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    nodes.insert(nodes.end(), ofKind.begin(), ofKind.end());
  }
  return nodes;
}

}  // namespace

NodeOwner FindNodeOwner(const fs::path& sysfsRoot, const NodeStatus& node) {
  NodeOwner owner;
  if (node.error != 0 || node.kind == NodeStatus::Kind::Other) {
    owner.kind = NodeOwner::Kind::NotScsi;
    return owner;
  }
  const fs::path numbers = sysfsRoot / "dev" / (node.kind == NodeStatus::Kind::Block ? "block" : "char");
  std::error_code error;
  if (!fs::is_directory(numbers, error)) {
    owner.kind = NodeOwner::Kind::Unknown;
    return owner;
  }
  const fs::path self = numbers / NumberText(node);
  if (!fs::exists(self, error)) {
    owner.kind = NodeOwner::Kind::NoDevice;
    return owner;
  }
  // A partition has no device of its own, and a device node of a virtual
  // device (null, loop) none at all.
  const fs::path device = fs::canonical(self / "device", error);
  if (error || !IsScsiDevice(device)) {
    owner.kind = NodeOwner::Kind::NotScsi;
    return owner;
  }
  const auto typeText = FirstLine(device / "type");
  const auto type = typeText ? Number(*typeText) : std::nullopt;
  if (!type) {
    owner.kind = NodeOwner::Kind::NotScsi;
    return owner;
  }
  owner.kind = NodeOwner::Kind::ScsiDevice;
  owner.scsiType = static_cast<int>(*type);
  owner.nodes = NodesOf(device);
  return owner;
}
