#pragma once
// Dialogs the framework tests drive from inside. Once initialised a dialog
// runs the test's script; what the script posts is handled when the modal
// loop runs. A watchdog timer ends a dialog that the script never ends, so a
// broken test fails instead of hanging.
#include <windows.h>

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "framework/CDialog.h"
#include "framework/CProgressCtrl.h"
#include "tests/framework/TestResourceIds.h"

inline constexpr INT_PTR kWatchdogResult = -2;

// No message map of its own: every message gets CDialog's default handling.
class ScriptedDialog : public CDialog {
 public:
  using Script = std::function<void(ScriptedDialog&)>;
  explicit ScriptedDialog(Script onInit, UINT templateId = IDD_TEST_DIALOG, CWnd* parent = nullptr);

  void Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const { ::PostMessageA(m_hWnd, message, wParam, lParam); }
  void PostClicked(int id) const { Post(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

  std::vector<std::string> events;

 protected:
  BOOL OnInitDialog() override;

 private:
  Script onInit_;
};

// Binds the two test buttons, a hidden "run" command that calls onRun,
// WM_SYSCOMMAND (recorded, then passed on), WM_PAINT and WM_QUERYDRAGICON,
// and attaches the progress bar before the script runs.
class MappedDialog : public ScriptedDialog {
 public:
  using RunScript = std::function<void(MappedDialog&)>;
  // onRun runs from the posted run command, after the system has shown the
  // dialog and given the focus.
  explicit MappedDialog(RunScript onRun, CWnd* parent = nullptr);

  CProgressCtrl progress;
  HICON dragIcon = ::LoadIcon(nullptr, IDI_APPLICATION);
  bool paintWithDC = false;

 protected:
  std::span<const MessageMapEntry> GetMessageMap() const override;

 private:
  static const MessageMapEntry messageMap[];
  void OnFirst();
  void OnSecond();
  void OnRun();
  void OnSysCommand(UINT nID, LPARAM lParam);
  void OnPaint();
  HCURSOR OnQueryDragIcon();

  RunScript onRun_;
};
