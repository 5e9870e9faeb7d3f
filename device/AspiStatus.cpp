#include "device/AspiStatus.h"

#include <array>
#include <cstdio>

#include "device/AspiRequests.h"

namespace {

struct StatusText {
  std::uint8_t status;
  const char* text;
};

constexpr std::array kStatusTexts = {
    StatusText{aspi::SS_PENDING, "SRB being processed!"},
    StatusText{aspi::SS_COMP, "SRB completed without error!"},
    StatusText{aspi::SS_ABORTED, "SRB aborted!"},
    StatusText{aspi::SS_ABORT_FAIL, "Unable to abort SRB"},
    StatusText{aspi::SS_ERR, "SRB completed with error!"},
    StatusText{aspi::SS_INVALID_CMD, "Invalid ASPI command!"},
    StatusText{aspi::SS_INVALID_HA, "Invalid host adapter number!"},
    StatusText{aspi::SS_NO_DEVICE, "SCSI device not installed!"},
    StatusText{aspi::SS_INVALID_SRB, "Invalid parameter set in SRB!"},
    StatusText{aspi::SS_FAILED_INIT, "ASPI for windows failed init!"},
    StatusText{aspi::SS_ASPI_IS_BUSY, "No resources available to execute cmd!"},
    StatusText{aspi::SS_BUFFER_TO_BIG, "Buffer size to big to handle!"},
};

}  // namespace

std::string AspiStatusText(std::uint8_t status) {
  for (const StatusText& entry : kStatusTexts) {
    if (entry.status == status) return entry.text;
  }
  char text[64];
  std::snprintf(text, sizeof text, "Unknown error code = %x!", static_cast<unsigned>(status));
  return text;
}

void ShowAspiStatus(MessageSink& sink, std::uint8_t status) {
  sink.ShowMessage(AspiStatusText(status), kAspiStatusCaption, MessageIcon::Information);
}
