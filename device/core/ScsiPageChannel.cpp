#include "device/core/ScsiPageChannel.h"

#include "device/core/ScsiCommands.h"

bool ScsiPageChannel::WritePage(const PageWriteCommand& command, const FirmwareImage& image) {
  // Its data would lie outside the image: no back end sends such a command.
  const int page = command.PageNumber();
  if (page < 1 || page > kPageCount) return false;
  const ScsiOutcome outcome = transport_.Execute(MakePageWriteRequest(command, image.PageData(page)));
  observer_.PageSent(page, outcome);
  return outcome.IsGood();
}
