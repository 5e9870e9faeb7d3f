#include "device/ScsiPageChannel.h"

#include "device/PageAddressing.h"
#include "device/ScsiCommands.h"

bool ScsiPageChannel::WritePage(const PageWriteCommand& command, const FirmwareImage& image) {
  if (!PageDataOffset(command)) return false;
  const int page = command.PageNumber();
  const ScsiOutcome outcome = transport_.Execute(MakePageWriteRequest(command, image.PageData(page)));
  observer_.PageSent(page, outcome);
  return outcome.IsGood();
}
