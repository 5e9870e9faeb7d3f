#pragma once
// The main dialog's logic, apart from its window: start-up (transport mode,
// ASPI layer, preselected file, drive list, progress bar), the Select and
// Flash commands and the rule that enables Flash. It holds the program's
// lasting state and speaks to the window only through FlashView.
#include <memory>
#include <string>

#include "app/DriveOutcomeBoxes.h"
#include "app/FlashView.h"
#include "app/TransportMode.h"
#include "device/windows-rules/AspiLibrary.h"
#include "device/windows-rules/AspiTransport.h"
#include "device/windows-rules/CompletionEvent.h"
#include "device/windows-rules/DriveSystem.h"
#include "device/windows-rules/DriveTable.h"
#include "files/FirmwareFile.h"
#include "flash/DriveCommandChannel.h"

class FlashPresenter {
 public:
  // In ASPI mode loads the layer at once, with its boxes (the window does not
  // exist yet, so they have no owner). libraries and events must outlive the
  // presenter, which holds the layer while it lives.
  FlashPresenter(FlashView& view, TransportMode mode, DriveSystem& drives, FirmwareFile& file,
                 LibraryLoader& libraries, EventFactory& events);

  void Start();   // the dialog's initialisation
  void Select();  // the Select button
  void Flash();   // the Flash button

 private:
  void UpdateFlashButton();
  void FlashPassThrough(char driveLetter, const std::string& rowText);
  void FlashAspi(char driveLetter, const std::string& rowText);
  void Run(DriveCommandChannel& channel, const std::string& rowText);

  FlashView& view_;
  TransportMode mode_;
  DriveSystem& drives_;
  FirmwareFile& file_;
  std::string filePath_;
  DriveTable driveTable_;
  std::unique_ptr<AspiTransport> aspi_;
  // Turns the outcome of every drive command into the boxes of the mode.
  DriveOutcomeBoxes outcomeBoxes_;
};
