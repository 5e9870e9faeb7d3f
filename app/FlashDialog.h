#pragma once
// The main dialog's window: binds its controls and messages and forwards the
// commands to the presenter, which holds the program's logic and state. Its
// controls are where runs, transports and discovery report.
#include <windows.h>

#include <optional>
#include <span>
#include <string>

#include "app/FlashPresenter.h"
#include "app/FlashView.h"
#include "app/KeepSystemAwake.h"
#include "device/win32/Win32DriveSystem.h"
#include "device/win32/Win32EventFactory.h"
#include "device/win32/Win32LibraryLoader.h"
#include "files/CFile.h"
#include "framework/CDialog.h"
#include "framework/CImageList.h"
#include "framework/CProgressCtrl.h"

class FlashDialog : public CDialog, private FlashView {
 public:
  explicit FlashDialog(CWnd* pParent = nullptr);
  ~FlashDialog() override;

 protected:
  std::span<const MessageMapEntry> GetMessageMap() const override;
  BOOL OnInitDialog() override;

 private:
  static const MessageMapEntry messageMap[];

  // Window chores (FlashDialog.cpp).
  void OnSysCommand(UINT nID, LPARAM lParam);
  void OnPaint();
  HCURSOR OnQueryDragIcon();
  void OnSelect() { m_presenter.Select(); }
  void OnFlash() { m_presenter.Flash(); }

  // The view the presenter works (FlashDialogOutputs.cpp).
  void ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) override;
  void SetLog(const std::string& text) override;
  void SetStatus(const std::string& text) override;
  void StepProgress() override;
  void InsertRow(int item, const std::string& text) override;
  std::optional<std::string> FirstFirmwareFile() override;
  void PrepareWindow() override;
  void ShowFilePath(const std::string& path) override;
  void SetUpProgress(int steps) override;
  void EnableFlash(bool enabled) override;
  std::optional<std::string> MarkedRowText() override;
  std::optional<std::string> ChooseFirmwareFile() override;
  void DriveWorkBegins() override;
  void DriveWorkEnds() override;

  void AddAboutItemToSystemMenu();
  void SetUpDriveList();

  CProgressCtrl m_progress;
  HICON m_hIcon;
  CImageList m_imageList;       // 32 x 32
  CImageList m_smallImageList;  // 16 x 16
  // While the Flash command's drive work lasts, the message loop is held:
  // input the user gives meanwhile waits in the queue.
  bool m_driveWork = false;
  std::optional<KeepSystemAwake> m_awake;

  // The system behind the presenter. The loader and event factory outlive
  // the ASPI transport, which the presenter holds while the dialog lives.
  Win32DriveSystem m_drives;
  Win32LibraryLoader m_libraryLoader;
  Win32EventFactory m_events;
  CFile m_file;
  FlashPresenter m_presenter;
};
