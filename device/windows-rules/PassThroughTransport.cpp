#include "device/windows-rules/PassThroughTransport.h"

#include <algorithm>

#include "device/core/ScsiCommands.h"
#include "device/core/ScsiRequestRules.h"
#include "device/windows-rules/PassThroughRequests.h"

namespace {

template <typename Block>
ScsiOutcome Classify(const IoControlResult& result, const Block& block) {
  ScsiOutcome outcome;
  if (!result.succeeded) {
    outcome.kind = OutcomeKind::SystemError;
    outcome.systemError = result.error;
    return outcome;
  }
  outcome.scsiStatus = block.header.ScsiStatus;
  if (outcome.scsiStatus == kScsiStatusGood) {
    outcome.kind = OutcomeKind::Good;
    return outcome;
  }
  outcome.kind = OutcomeKind::ScsiStatus;
  if (outcome.scsiStatus == kScsiStatusCheckCondition) {
    // On return the system says how much sense it wrote.
    const std::size_t given = std::min<std::size_t>(block.header.SenseInfoLength, sizeof block.sense);
    outcome.sense = DecodeSense({block.sense, given});
  }
  return outcome;
}

}  // namespace

ScsiOutcome PassThroughTransport::Execute(const ScsiRequest& request) {
  if (GoesBuffered(request)) {
    BufferedRequestBlock block;
    FillBufferedRequest(block, request);
    const IoControlResult result =
        drive_.IoControl(kIoctlScsiPassThrough, &block, kBufferedRequestInputLength, &block,
                         BufferedRequestOutputLength(block.header.DataTransferLength));
    const ScsiOutcome outcome = Classify(result, block);
    if (outcome.IsGood() && request.direction == DataDirection::In) {
      std::copy_n(block.data, request.dataIn.size(), request.dataIn.begin());
    }
    return outcome;
  }
  DirectRequestBlock block;
  FillDirectRequest(block, request);
  const IoControlResult result =
      drive_.IoControl(kIoctlScsiPassThroughDirect, &block, kDirectRequestInputLength, &block, kDirectRequestOutputLength);
  return Classify(result, block);
}
