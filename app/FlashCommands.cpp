// The main dialog's commands: choosing the firmware file and flashing the
// marked drive, and the rule that enables the Flash button.
#include <windows.h>
#include <commdlg.h>

#include <array>
#include <cstdio>
#include <string_view>

#include "app/FlashDialog.h"
#include "app/FrontEndTexts.h"
#include "app/KeepSystemAwake.h"
#include "app/RunReport.h"
#include "device/DriveTexts.h"
#include "device/PassThroughTransport.h"
#include "device/ScsiPageChannel.h"
#include "flash/FlashSequence.h"
#include "framework/CFile.h"
#include "framework/CFileDialog.h"
#include "framework/CListCtrl.h"
#include "resources/resource.h"

namespace {

constexpr DWORD kFileDialogFlags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;
static_assert(kFileDialogFlags == 0x1004);

constexpr int kRowTextBufferLength = 256;

// Marks the Flash command's drive work, however it ends.
class RunInProgress {
 public:
  explicit RunInProgress(bool& flag) : m_flag(flag) { m_flag = true; }
  ~RunInProgress() { m_flag = false; }
  RunInProgress(const RunInProgress&) = delete;
  RunInProgress& operator=(const RunInProgress&) = delete;

 private:
  bool& m_flag;
};

// A row is the drive's root, a blank, then its identity.
constexpr std::size_t kRowIdentityOffset = 4;

// One run: the computer stays awake until it ends, on whatever path.
void RunFlash(FlashReporter& reporter, DriveCommandChannel& channel, const std::string& rowText,
              const std::string& filePath, TransportMode mode) {
  KeepSystemAwake awake;
  CFile file;
  RunReport report(reporter, mode);
  const std::string_view identity =
      rowText.size() > kRowIdentityOffset ? std::string_view(rowText).substr(kRowIdentityOffset) : std::string_view();
  ShowRefusal(reporter, FlashSequence(report, file).Run(channel, identity, filePath));
}

}  // namespace

void FlashDialog::UpdateFlashButton() { GetDlgItem(IDC_FLASH).EnableWindow(!m_filePath.empty()); }

void FlashDialog::OnSelect() {
  CFileDialog dialog(kDefaultExtension, kInitialFileName, kFileDialogFlags, kFileFilter, this);
  if (dialog.DoModal() == IDOK) {
    m_filePath = dialog.GetPathName();
    GetDlgItem(IDC_FILE_PATH).SetWindowTextA(m_filePath.c_str());
  }
  UpdateFlashButton();
}

void FlashDialog::OnFlash() {
  CListCtrl list(GetDlgItem(IDC_DRIVE_LIST).m_hWnd);
  const int mark = list.GetSelectionMark();
  if (mark == -1) {
    ShowMessage(kNoDriveSelectedText, kNoDriveSelectedCaption, MessageIcon::Information);
    return;
  }
  std::array<char, kRowTextBufferLength> row{};
  list.GetItemText(mark, 0, row.data(), kRowTextBufferLength);
  const std::string rowText(row.data());
  const char driveLetter = row[0];

  std::array<char, 64> status{};
  wsprintfA(status.data(), kProcessingFormat, driveLetter);
  SetStatus(status.data());

  const RunInProgress running(m_runInProgress);
  if (m_mode == TransportMode::PassThrough) {
    FlashPassThrough(driveLetter, rowText);
  } else {
    FlashAspi(driveLetter, rowText);
  }
}

void FlashDialog::FlashPassThrough(char driveLetter, const std::string& rowText) {
  // The letter goes into the device name as the row has it.
  auto drive = m_drives.OpenDrive(DevicePath(driveLetter), DriveSharing::Read);
  if (!drive) {
    ShowMessage(kDriveHandleErrorText, kDriveHandleErrorCaption, MessageIcon::None);
    return;
  }
  PassThroughTransport transport(*drive);
  ScsiPageChannel channel(transport, m_outcomeBoxes);
  RunFlash(*this, channel, rowText, m_filePath, m_mode);
  // The handle closes with `drive`, however the run ended.
}

void FlashDialog::FlashAspi(char driveLetter, const std::string& rowText) {
  if (!m_aspi) return;  // no layer: the list is empty, so no row can be marked
  // Every row with the letter is flashed, in table order.
  for (const DriveEntry& entry : RowsForDrive(m_driveTable, driveLetter)) {
    AspiTarget device(*m_aspi, entry.hostAdapter, entry.target);
    ScsiPageChannel channel(device, m_outcomeBoxes);
    RunFlash(*this, channel, rowText, m_filePath, m_mode);
  }
}
