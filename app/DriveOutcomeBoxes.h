#pragma once
// What the user is shown of what became of each drive command: the main
// dialog's message boxes, decided here from the outcomes the back ends give,
// by mode and by command. Portable, so the rules are tested natively.
#include <cstdint>
#include <string>

#include "app/MessageSink.h"
#include "app/TransportMode.h"
#include "device/core/ScsiPageChannel.h"
#include "device/windows-rules/AspiLayer.h"
#include "device/windows-rules/DriveDiscovery.h"

// "Error code:%d" with a system error code.
std::string PassThroughErrorText(std::uint32_t error);

// The text of an ASPI status; a byte no layer defines is named in lower-case hex.
std::string AspiStatusText(std::uint8_t status);

// The box for a layer that did not load (caption "Error Status"); nothing for
// a loaded one. During the dialog's construction it has no owner.
void ShowLayerLoadProblem(MessageSink& sink, LayerLoadProblem problem);

class DriveOutcomeBoxes final : public PageOutcomeObserver, public InquiryOutcomeObserver {
 public:
  DriveOutcomeBoxes(MessageSink& sink, TransportMode mode) : sink_(sink), mode_(mode) {}

  // Pass-through: a failed call shows "Error code:%d", then every page not
  // accepted shows "Command Not Complete!". ASPI: the status box, except for
  // SS_COMP, SS_INVALID_HA and SS_PENDING, and nothing without an answer.
  void PageSent(int page, const ScsiOutcome& outcome) override;

  // Pass-through: a failed call shows "Error code:%d"; a drive's refusal
  // shows nothing. ASPI: the status box, except for SS_COMP, SS_PENDING,
  // SS_INVALID_HA and SS_NO_DEVICE, and nothing without an answer.
  void InquiryAnswered(const ScsiOutcome& outcome) override;

 private:
  void ShowAspiStatus(std::uint8_t status);
  void ShowPassThroughError(std::uint32_t error);

  MessageSink& sink_;
  TransportMode mode_;
};
