#pragma once
// Filling the drive list with the optical drives, once, when the main dialog
// starts. Neither operation clears the list first. Every INQUIRY's outcome
// goes to the front end as it comes, which alone decides what the user is
// shown of it.
#include "device/core/ScsiRequest.h"
#include "device/windows-rules/AspiTransport.h"
#include "device/windows-rules/DriveListView.h"
#include "device/windows-rules/DriveSystem.h"
#include "device/windows-rules/DriveTable.h"

inline constexpr std::uint8_t kTargetsPerHostAdapter = 8;

class InquiryOutcomeObserver {
 public:
  // Once for every INQUIRY sent, before discovery goes on.
  virtual void InquiryAnswered(const ScsiOutcome& outcome) = 0;

 protected:
  ~InquiryOutcomeObserver() = default;
};

// Pass-through mode: every root that opens and is a CD-ROM drive is asked for
// its identity and listed with all 36 characters of it, or with none when
// the INQUIRY did not succeed.
void ListPassThroughDrives(DriveSystem& system, DriveListView& list, InquiryOutcomeObserver& observer);

// Records every CD-ROM device the layer reaches in the table, from row 0, in
// host adapter then target order. Devices past the table's rows are left out.
void ScanAspiDevices(AspiTransport& transport, DriveTable& table, InquiryOutcomeObserver& observer);

// ASPI mode: scans, then pairs the k-th CD-ROM letter with table row k and
// lists it with 28 identity characters. Letters past the table's rows are not
// listed. Without a transport (no layer loaded) the list stays empty.
void ListAspiDrives(DriveSystem& system, AspiTransport* transport, DriveTable& table, DriveListView& list,
                    InquiryOutcomeObserver& observer);
