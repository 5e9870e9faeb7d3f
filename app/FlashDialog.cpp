// The main dialog's window: its transport mode from the platform, its
// message bindings, and its chores: system menu, icons, painting.
#include "app/FlashDialog.h"

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <cstring>

#include "app/AboutDialog.h"
#include "app/FrontEndTexts.h"
#include "framework/CListCtrl.h"
#include "framework/CPaintDC.h"
#include "resources/resource.h"

namespace {

constexpr int kColumnTextBufferLength = 128;
constexpr UINT kSystemCommandMask = 0xFFF0;
constexpr int kIconSizeSmall = 16;
constexpr int kIconSizeNormal = 32;
static_assert(sizeof(OSVERSIONINFOA) == 148);

TransportMode TransportModeOfPlatform() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof(version);
  ::GetVersionExA(&version);
  return version.dwPlatformId == VER_PLATFORM_WIN32_NT ? TransportMode::PassThrough : TransportMode::Aspi;
}

}  // namespace

const MessageMapEntry FlashDialog::messageMap[] = {
    BindSysCommand<&FlashDialog::OnSysCommand>(),
    BindPaint<&FlashDialog::OnPaint>(),
    BindQueryDragIcon<&FlashDialog::OnQueryDragIcon>(),
    BindClicked<&FlashDialog::OnFlash>(IDC_FLASH),
    BindClicked<&FlashDialog::OnSelect>(IDC_SELECT),
};

std::span<const MessageMapEntry> FlashDialog::GetMessageMap() const { return messageMap; }

FlashDialog::FlashDialog(CWnd* pParent)
    : CDialog(IDD_FLASH_DIALOG, pParent),
      m_hIcon(::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_APP_ICON))),
      m_presenter(*this, TransportModeOfPlatform(), m_drives, m_file, m_libraryLoader, m_events) {}

// The ASPI library goes with the presenter.
FlashDialog::~FlashDialog() = default;

BOOL FlashDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  m_progress.Attach(::GetDlgItem(m_hWnd, IDC_PROGRESS));
  m_presenter.Start();
  return TRUE;
}

void FlashDialog::PrepareWindow() {
  AddAboutItemToSystemMenu();
  SendMessageA(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  SendMessageA(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
  SetUpDriveList();
}

void FlashDialog::AddAboutItemToSystemMenu() {
  CMenu systemMenu = GetSystemMenu(FALSE);
  if (systemMenu.m_hMenu == nullptr) return;
  std::array<char, 256> about{};
  ::LoadStringA(::GetModuleHandleA(nullptr), IDS_ABOUT_MENU, about.data(), static_cast<int>(about.size()));
  if (about[0] == '\0') return;
  systemMenu.AppendMenuA(MF_SEPARATOR);
  systemMenu.AppendMenuA(MF_STRING, IDM_ABOUT, about.data());
}

void FlashDialog::SetUpDriveList() {
  const HINSTANCE instance = ::GetModuleHandleA(nullptr);
  m_smallImageList.Create(kIconSizeSmall, kIconSizeSmall, ILC_COLOR, 1, 0);
  m_smallImageList.Add(::LoadIconA(instance, MAKEINTRESOURCEA(IDI_DRIVE_ICON)));
  m_imageList.Create(kIconSizeNormal, kIconSizeNormal, ILC_COLOR, 1, 0);
  m_imageList.Add(::LoadIconA(instance, MAKEINTRESOURCEA(IDI_DRIVE_ICON)));

  CListCtrl list(GetDlgItem(IDC_DRIVE_LIST).m_hWnd);
  // The list's shared-image-lists style leaves both lists to the dialog.
  list.SetImageList(m_smallImageList, LVSIL_SMALL);
  list.SetImageList(m_imageList, LVSIL_NORMAL);

  RECT client{};
  list.GetClientRect(&client);
  std::array<char, kColumnTextBufferLength> text{};
  std::strcpy(text.data(), kDriveListColumn);
  LVCOLUMNA column{};
  column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
  column.fmt = LVCFMT_LEFT;
  column.cx = client.right - client.left;
  column.pszText = text.data();
  column.cchTextMax = kColumnTextBufferLength;
  column.iSubItem = 0;
  list.InsertColumn(0, &column);
}

void FlashDialog::OnSysCommand(UINT nID, LPARAM lParam) {
  if ((nID & kSystemCommandMask) == IDM_ABOUT) {
    AboutDialog about;
    about.DoModal();
  } else {
    CDialog::OnSysCommand(nID, lParam);
  }
}

// The template has no minimise box; this draws the icon only when something
// else minimises the window.
void FlashDialog::OnPaint() {
  if (!IsIconic()) {
    CDialog::OnPaint();
    return;
  }
  CPaintDC dc(*this);
  SendMessageA(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC), 0);
  RECT client{};
  GetClientRect(&client);
  const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
  dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR FlashDialog::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }
