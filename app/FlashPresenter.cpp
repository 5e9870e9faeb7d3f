#include "app/FlashPresenter.h"

#include <array>
#include <cstdio>
#include <string_view>

#include "app/FrontEndTexts.h"
#include "app/RunReport.h"
#include "device/core/ScsiPageChannel.h"
#include "device/windows-rules/DriveDiscovery.h"
#include "device/windows-rules/DrivePaths.h"
#include "device/windows-rules/PassThroughTransport.h"
#include "flash/FlashConstants.h"
#include "flash/FlashSequence.h"

namespace {

// A row is the drive's root ("E:\"), a blank, then the drive's identity.
constexpr std::size_t kRowIdentityOffset = 4;

std::string_view IdentityOfRow(const std::string& rowText) {
  if (rowText.size() <= kRowIdentityOffset) return {};
  return std::string_view(rowText).substr(kRowIdentityOffset);
}

// Marks the Flash command's drive work, however it ends.
class DriveWork {
 public:
  explicit DriveWork(FlashView& view) : view_(view) { view_.DriveWorkBegins(); }
  ~DriveWork() { view_.DriveWorkEnds(); }
  DriveWork(const DriveWork&) = delete;
  DriveWork& operator=(const DriveWork&) = delete;

 private:
  FlashView& view_;
};

}  // namespace

FlashPresenter::FlashPresenter(FlashView& view, TransportMode mode, DriveSystem& drives, FirmwareFile& file,
                               LibraryLoader& libraries, EventFactory& events)
    : view_(view), mode_(mode), drives_(drives), file_(file), outcomeBoxes_(view, mode) {
  if (mode_ == TransportMode::Aspi) {
    AspiTransportLoad load = LoadAspiTransport(libraries, events);
    aspi_ = std::move(load.transport);
    ShowLayerLoadProblem(view_, load.problem);
    ClearDriveTable(driveTable_);
  }
}

void FlashPresenter::Start() {
  if (const auto first = view_.FirstFirmwareFile()) {
    filePath_ = *first;
    view_.ShowFilePath(filePath_);
  }
  view_.PrepareWindow();
  if (mode_ == TransportMode::PassThrough) {
    ListPassThroughDrives(drives_, view_, outcomeBoxes_);
  } else {
    ListAspiDrives(drives_, aspi_.get(), driveTable_, view_, outcomeBoxes_);
  }
  view_.SetUpProgress(kPageCount);
  UpdateFlashButton();
}

void FlashPresenter::UpdateFlashButton() { view_.EnableFlash(!filePath_.empty()); }

void FlashPresenter::Select() {
  if (const auto chosen = view_.ChooseFirmwareFile()) {
    filePath_ = *chosen;
    view_.ShowFilePath(filePath_);
  }
  UpdateFlashButton();
}

void FlashPresenter::Flash() {
  const std::optional<std::string> row = view_.MarkedRowText();
  if (!row) {
    view_.ShowMessage(kNoDriveSelectedText, kErrorStatusCaption, MessageIcon::Information);
    return;
  }
  const char driveLetter = row->empty() ? '\0' : row->front();
  std::array<char, 64> status{};
  std::snprintf(status.data(), status.size(), kProcessingFormat, driveLetter);
  view_.SetStatus(status.data());

  const DriveWork work(view_);
  if (mode_ == TransportMode::PassThrough) {
    FlashPassThrough(driveLetter, *row);
  } else {
    FlashAspi(driveLetter, *row);
  }
}

void FlashPresenter::FlashPassThrough(char driveLetter, const std::string& rowText) {
  // The letter goes into the device name as the row has it.
  auto drive = drives_.OpenDrive(DevicePath(driveLetter), DriveSharing::Read);
  if (!drive) {
    view_.ShowMessage(kDriveHandleErrorText, kErrorCaption, MessageIcon::None);
    return;
  }
  PassThroughTransport transport(*drive);
  ScsiPageChannel channel(transport, outcomeBoxes_);
  Run(channel, rowText);
  // The handle closes with `drive`, however the run ended.
}

void FlashPresenter::FlashAspi(char driveLetter, const std::string& rowText) {
  if (!aspi_) return;  // no layer: the list is empty, so no row can be marked
  // Every row with the letter is flashed, in table order.
  for (const DriveEntry& entry : RowsForDrive(driveTable_, driveLetter)) {
    AspiTarget device(*aspi_, entry.hostAdapter, entry.target);
    ScsiPageChannel channel(device, outcomeBoxes_);
    Run(channel, rowText);
  }
}

void FlashPresenter::Run(DriveCommandChannel& channel, const std::string& rowText) {
  RunReport report(view_, mode_);
  ShowRefusal(view_, FlashSequence(report, file_).Run(channel, IdentityOfRow(rowText), filePath_));
}
