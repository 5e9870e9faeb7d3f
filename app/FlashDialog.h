#pragma once
// The main dialog: holds all of the program's lasting state, lists the
// drives, chooses the firmware file and hands the marked drive to a flash run.
// Its controls are where the run and the transports report.
#include <windows.h>

#include <memory>
#include <span>
#include <string>

#include "app/DriveOutcomeBoxes.h"
#include "app/FlashReporter.h"
#include "app/TransportMode.h"
#include "device/AspiTransport.h"
#include "device/DriveListView.h"
#include "device/DriveTable.h"
#include "device/win32/Win32DriveSystem.h"
#include "device/win32/Win32EventFactory.h"
#include "device/win32/Win32LibraryLoader.h"
#include "framework/CDialog.h"
#include "framework/CImageList.h"
#include "framework/CProgressCtrl.h"

class FlashDialog : public CDialog, private FlashReporter, private DriveListView {
 public:
  explicit FlashDialog(CWnd* pParent = nullptr);
  ~FlashDialog() override;

 protected:
  std::span<const MessageMapEntry> GetMessageMap() const override;
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;

 private:
  static const MessageMapEntry messageMap[];

  // Start-up (FlashDialog.cpp).
  void PreselectFirmwareFile();
  void AddAboutItemToSystemMenu();
  void SetUpDriveList();
  void OnSysCommand(UINT nID, LPARAM lParam);
  void OnPaint();
  HCURSOR OnQueryDragIcon();

  // Commands (FlashCommands.cpp).
  void OnSelect();
  void OnFlash();
  void UpdateFlashButton();
  void FlashPassThrough(char driveLetter, const std::string& rowText);
  void FlashAspi(char driveLetter, const std::string& rowText);

  // Where runs and discovery report (FlashDialogOutputs.cpp); drive
  // outcomes reach ShowMessage through m_outcomeBoxes.
  void ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) override;
  void SetLog(const std::string& text) override;
  void SetStatus(const std::string& text) override;
  void StepProgress() override;
  void InsertRow(int item, const std::string& text) override;

  CProgressCtrl m_progress;
  HICON m_hIcon;
  TransportMode m_mode = TransportMode::Aspi;
  CImageList m_imageList;       // 32 x 32
  CImageList m_smallImageList;  // 16 x 16
  std::string m_filePath;
  DriveTable m_driveTable;
  // While the Flash command runs, the message loop is held: input the user
  // gives meanwhile waits in the queue (FlashDialogOutputs.cpp).
  bool m_runInProgress = false;

  // The system behind the transports. The loader and event factory outlive
  // the ASPI transport, which holds the library while the dialog lives.
  Win32DriveSystem m_drives;
  Win32LibraryLoader m_libraryLoader;
  Win32EventFactory m_events;
  std::unique_ptr<AspiTransport> m_aspi;
  // Turns the outcome of every drive command into the boxes of the mode.
  DriveOutcomeBoxes m_outcomeBoxes;
};
