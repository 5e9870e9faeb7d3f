#include "tests/framework/TestDialogs.h"

#include "framework/CPaintDC.h"

namespace {

constexpr UINT_PTR kWatchdogTimer = 1;
constexpr UINT kWatchdogMilliseconds = 10000;

void CALLBACK EndStuckDialog(HWND hWnd, UINT, UINT_PTR, DWORD) { ::EndDialog(hWnd, kWatchdogResult); }

}  // namespace

ScriptedDialog::ScriptedDialog(Script onInit, UINT templateId, CWnd* parent)
    : CDialog(templateId, parent), onInit_(std::move(onInit)) {}

BOOL ScriptedDialog::OnInitDialog() {
  events.push_back("init begins");
  BOOL result = CDialog::OnInitDialog();
  events.push_back("init ends");
  ::SetTimer(m_hWnd, kWatchdogTimer, kWatchdogMilliseconds, &EndStuckDialog);
  if (onInit_) onInit_(*this);
  return result;
}

const MessageMapEntry MappedDialog::messageMap[] = {
    BindClicked<&MappedDialog::OnFirst>(IDC_TEST_FIRST),
    BindClicked<&MappedDialog::OnSecond>(IDC_TEST_SECOND),
    BindClicked<&MappedDialog::OnRun>(IDC_TEST_RUN),
    BindSysCommand<&MappedDialog::OnSysCommand>(),
    BindPaint<&MappedDialog::OnPaint>(),
    BindQueryDragIcon<&MappedDialog::OnQueryDragIcon>(),
};

std::span<const MessageMapEntry> MappedDialog::GetMessageMap() const { return messageMap; }

MappedDialog::MappedDialog(RunScript onRun, CWnd* parent)
    : ScriptedDialog(
          [](ScriptedDialog& self) {
            auto& mapped = static_cast<MappedDialog&>(self);
            mapped.progress.Attach(::GetDlgItem(mapped.m_hWnd, IDC_TEST_PROGRESS));
            mapped.PostClicked(IDC_TEST_RUN);
          },
          IDD_TEST_DIALOG, parent),
      onRun_(std::move(onRun)) {}

void MappedDialog::OnFirst() { events.push_back("first"); }
void MappedDialog::OnSecond() { events.push_back("second"); }
void MappedDialog::OnRun() {
  if (onRun_) onRun_(*this);
}

void MappedDialog::OnSysCommand(UINT nID, LPARAM lParam) {
  events.push_back("system command " + std::to_string(nID) + " " + std::to_string(lParam));
  CDialog::OnSysCommand(nID, lParam);
}

void MappedDialog::OnPaint() {
  events.push_back("paint");
  if (paintWithDC) {
    CPaintDC dc(*this);
    dc.DrawIcon(0, 0, dragIcon);
    return;
  }
  CDialog::OnPaint();
}

HCURSOR MappedDialog::OnQueryDragIcon() { return static_cast<HCURSOR>(dragIcon); }
