#include "app/DriveOutcomeBoxes.h"

#include <array>
#include <cstdio>
#include <initializer_list>
#include <optional>

#include "app/FrontEndTexts.h"
#include "device/windows-rules/AspiRequests.h"

namespace {

struct StatusText {
  std::uint8_t status;
  const char* text;
};

constexpr std::array kStatusTexts = {
    StatusText{aspi::SS_PENDING, kAspiPendingText},
    StatusText{aspi::SS_COMP, kAspiCompletedText},
    StatusText{aspi::SS_ABORTED, kAspiAbortedText},
    StatusText{aspi::SS_ABORT_FAIL, kAspiAbortFailedText},
    StatusText{aspi::SS_ERR, kAspiErrorText},
    StatusText{aspi::SS_INVALID_CMD, kAspiInvalidCommandText},
    StatusText{aspi::SS_INVALID_HA, kAspiInvalidHostAdapterText},
    StatusText{aspi::SS_NO_DEVICE, kAspiNoDeviceText},
    StatusText{aspi::SS_INVALID_SRB, kAspiInvalidSrbText},
    StatusText{aspi::SS_FAILED_INIT, kAspiFailedInitText},
    StatusText{aspi::SS_ASPI_IS_BUSY, kAspiBusyText},
    StatusText{aspi::SS_BUFFER_TO_BIG, kAspiBufferTooBigText},
};

// The ASPI status of an outcome the layer answered; nothing for a request
// that got no answer, which is never shown.
std::optional<std::uint8_t> AnsweredStatus(const ScsiOutcome& outcome) {
  if (outcome.kind == OutcomeKind::SystemError) return std::nullopt;
  return static_cast<std::uint8_t>(outcome.transportStatus);
}

bool OneOf(std::uint8_t status, std::initializer_list<std::uint8_t> statuses) {
  for (const std::uint8_t quiet : statuses) {
    if (status == quiet) return true;
  }
  return false;
}

}  // namespace

std::string PassThroughErrorText(std::uint32_t error) {
  char text[32];
  std::snprintf(text, sizeof text, kPassThroughErrorFormat, static_cast<int>(error));
  return text;
}

std::string AspiStatusText(std::uint8_t status) {
  for (const StatusText& entry : kStatusTexts) {
    if (entry.status == status) return entry.text;
  }
  char text[64];
  std::snprintf(text, sizeof text, kAspiUnknownStatusFormat, static_cast<unsigned>(status));
  return text;
}

void ShowLayerLoadProblem(MessageSink& sink, LayerLoadProblem problem) {
  switch (problem) {
    case LayerLoadProblem::None:
      return;
    case LayerLoadProblem::LibraryNotFound:
      sink.ShowMessage(kLoadLayerFailText, kErrorStatusCaption, MessageIcon::Information);
      return;
    case LayerLoadProblem::EntryPointMissing:
      sink.ShowMessage(kEntryPointsMissingText, kErrorStatusCaption, MessageIcon::Information);
      return;
  }
}

void DriveOutcomeBoxes::ShowAspiStatus(std::uint8_t status) {
  sink_.ShowMessage(AspiStatusText(status), kAspiStatusCaption, MessageIcon::Information);
}

void DriveOutcomeBoxes::ShowPassThroughError(std::uint32_t error) {
  sink_.ShowMessage(PassThroughErrorText(error), kPassThroughErrorCaption, MessageIcon::Information);
}

void DriveOutcomeBoxes::PageSent(int /*page*/, const ScsiOutcome& outcome) {
  if (mode_ == TransportMode::PassThrough) {
    if (outcome.kind == OutcomeKind::SystemError) ShowPassThroughError(outcome.systemError);
    if (!outcome.IsGood()) {
      sink_.ShowMessage(kCommandNotCompleteText, kCommandNotCompleteCaption, MessageIcon::Information);
    }
    return;
  }
  const std::optional<std::uint8_t> status = AnsweredStatus(outcome);
  if (!status || OneOf(*status, {aspi::SS_COMP, aspi::SS_INVALID_HA, aspi::SS_PENDING})) return;
  ShowAspiStatus(*status);
}

void DriveOutcomeBoxes::InquiryAnswered(const ScsiOutcome& outcome) {
  if (mode_ == TransportMode::PassThrough) {
    if (outcome.kind == OutcomeKind::SystemError) ShowPassThroughError(outcome.systemError);
    return;
  }
  const std::optional<std::uint8_t> status = AnsweredStatus(outcome);
  if (!status || OneOf(*status, {aspi::SS_COMP, aspi::SS_PENDING, aspi::SS_INVALID_HA, aspi::SS_NO_DEVICE})) return;
  ShowAspiStatus(*status);
}
