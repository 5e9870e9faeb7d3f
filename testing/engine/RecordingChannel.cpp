#include "testing/engine/RecordingChannel.h"

#include <numeric>

bool RecordingChannel::WritePage(const PageWriteCommand& command, const FirmwareImage& image) {
  if (onWrite) onWrite(command.PageNumber());
  // What a transport does: take the page named in the command straight from the image.
  const auto data = image.PageData(command.PageNumber());
  const auto offset = static_cast<std::size_t>(data.data() - image.Bytes().data());
  pages_.push_back({command, offset, std::accumulate(data.begin(), data.end(), std::uint32_t{0}), data[0]});
  return refused_.count(command.PageNumber()) == 0;
}
