// A stand-in dialog for testing the UI driver: the kinds of controls and
// message boxes the program under test has, with known contents. It reports
// what the system tells it (platform id, type of drive D:, which folder
// wnaspi32.dll loads from) in control 1001, so the Wine set-up of a test can
// be checked too. Given "--box-first"
// it shows a message box with no owner before its dialog. Its exit code is
// the dialog's result: 1 for Exit or Enter, 2 for Escape or the close box.
#include "TargetIds.h"

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <initializer_list>

namespace {

constexpr char kFirstRow[] = "D:\\ VENDOR  PRODUCT NAME    1.00";
constexpr char kSecondRow[] = "E:\\ OTHER   SECOND DRIVE    2.10";
constexpr char kColumnTitle[] = "Drive Letter :";
constexpr int kProgressPages = 32;

HIMAGELIST g_small_images = nullptr;

void FillDriveList(HWND dialog) {
  HWND list = GetDlgItem(dialog, IDC_DRIVE_LIST);
  g_small_images = ImageList_Create(16, 16, ILC_COLOR, 1, 0);
  ImageList_AddIcon(g_small_images, LoadIconA(nullptr, IDI_APPLICATION));
  SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(g_small_images));

  RECT client{};
  GetClientRect(list, &client);
  char title[sizeof kColumnTitle];
  std::memcpy(title, kColumnTitle, sizeof title);
  LVCOLUMNA column{};
  column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
  column.fmt = LVCFMT_LEFT;
  column.cx = client.right - client.left;
  column.pszText = title;
  SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));

  int number = 0;
  for (const char* text : {kFirstRow, kSecondRow}) {
    char row[64];
    std::strcpy(row, text);
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = number++;
    item.pszText = row;
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }
}

// The folder of a file path, without the last separator.
int FolderLength(const char* path) {
  const char* separator = std::strrchr(path, '\\');
  return separator ? static_cast<int>(separator - path) : 0;
}

bool SameFolder(const char* file, const char* folder, int folder_length) {
  return FolderLength(file) == folder_length &&
         CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, file, folder_length, folder, folder_length) ==
             CSTR_EQUAL;
}

// Which library `name` loads and from where: "ours" (the empty stand-in
// library, known by its marker export) or "wine" (Wine's own), then the
// folder: the program's, the current one, the system folder, the root of
// drive C:, or elsewhere. A failed load gives the error code.
void DescribeLibrary(const char* name, char* text) {
  HMODULE library = LoadLibraryA(name);
  if (!library) {
    wsprintfA(text, "error%lu", GetLastError());
    return;
  }
  const char* owner = GetProcAddress(library, "StandInLibraryMarker") ? "ours" : "wine";
  char file[MAX_PATH] = {};
  char program[MAX_PATH] = {};
  char current[MAX_PATH] = {};
  char system[MAX_PATH] = {};
  GetModuleFileNameA(library, file, sizeof file);
  FreeLibrary(library);
  GetModuleFileNameA(nullptr, program, sizeof program);
  const int current_length = static_cast<int>(GetCurrentDirectoryA(sizeof current, current));
  const int system_length = static_cast<int>(GetSystemDirectoryA(system, sizeof system));
  const char* folder = "elsewhere";
  if (SameFolder(file, program, FolderLength(program)))
    folder = "program-folder";
  else if (SameFolder(file, current, current_length))
    folder = "current-folder";
  else if (SameFolder(file, system, system_length))
    folder = "system";
  else if (SameFolder(file, "C:", 2))
    folder = "c-root";
  wsprintfA(text, "%s:%s", owner, folder);
}

void ShowEnvironment(HWND dialog) {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  GetVersionExA(&version);
  const UINT drive_type = GetDriveTypeA("D:\\");
  // The two names under which the ASPI library is looked for, in that order.
  char on_drive_c[48] = {};
  char by_search[48] = {};
  DescribeLibrary("c:wnaspi32.dll", on_drive_c);
  DescribeLibrary("wnaspi32.dll", by_search);
  char text[160];
  wsprintfA(text, "platform=%lu d=%u c:wnaspi32=%s wnaspi32=%s", version.dwPlatformId, drive_type, on_drive_c,
            by_search);
  SetDlgItemTextA(dialog, IDC_ENVIRONMENT, text);
}

void Initialise(HWND dialog) {
  SetDlgItemTextA(dialog, IDC_STATUS, "Ready");
  SetDlgItemTextA(dialog, IDC_LOG, "first line\r\nsecond line");
  SetDlgItemTextA(dialog, IDC_HIDDEN, "hidden");
  ShowEnvironment(dialog);
  HMENU menu = GetSystemMenu(dialog, FALSE);
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, MF_STRING, IDM_ABOUT, "About ....");
  FillDriveList(dialog);
  HWND progress = GetDlgItem(dialog, IDC_PROGRESS);
  SendMessageA(progress, PBM_SETRANGE, 0, MAKELPARAM(0, kProgressPages));
  SendMessageA(progress, PBM_SETSTEP, 1, 0);
  SendMessageA(progress, PBM_SETPOS, 0, 0);
}

// Works like a flash command: the marked row decides, the status line and the
// progress bar follow, a box ends it, and the status line is blanked after it.
void Flash(HWND dialog) {
  HWND list = GetDlgItem(dialog, IDC_DRIVE_LIST);
  const int mark = static_cast<int>(SendMessageA(list, LVM_GETSELECTIONMARK, 0, 0));
  if (mark == -1) {
    MessageBoxA(dialog, "No drive Select!", "Error Status", MB_ICONINFORMATION);
    return;
  }
  char row[64] = {};
  LVITEMA item{};
  item.pszText = row;
  item.cchTextMax = sizeof row;
  SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(mark), reinterpret_cast<LPARAM>(&item));
  char status[64];
  wsprintfA(status, "Drive %c: is processing", row[0]);
  SetDlgItemTextA(dialog, IDC_STATUS, status);
  SendDlgItemMessageA(dialog, IDC_PROGRESS, PBM_STEPIT, 0, 0);
  MessageBoxA(dialog, "Flash Complete!", "Status", MB_ICONINFORMATION);
  SetDlgItemTextA(dialog, IDC_STATUS, "");
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      Initialise(dialog);
      return TRUE;
    case WM_SYSCOMMAND:
      if ((wparam & 0xFFF0) == IDM_ABOUT) {
        MessageBoxA(dialog, "About the stand-in", " About", MB_OK);
        return TRUE;
      }
      return FALSE;
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case IDOK:
        case IDCANCEL:
          EndDialog(dialog, LOWORD(wparam));
          return TRUE;
        case IDC_INFORMATION_BOX:
          MessageBoxA(dialog, "Information text", "Status Message", MB_ICONINFORMATION);
          return TRUE;
        case IDC_STOP_BOX:
          MessageBoxA(dialog, "First line\r\nSecond line", "", MB_ICONHAND);
          return TRUE;
        case IDC_PLAIN_BOX:
          MessageBoxA(dialog, "Drive handle error", "Error", MB_OK);
          return TRUE;
        case IDC_FLASH:
          Flash(dialog);
          return TRUE;
        case IDC_DISABLED:
          SetDlgItemTextA(dialog, IDC_STATUS, "The disabled button was pressed");
          return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  if (std::strstr(command_line, "--box-first")) MessageBoxA(nullptr, "Shown before the dialog", "Error Status", MB_OK);
  const INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_TARGET), nullptr, DialogProc, 0);
  if (g_small_images) ImageList_Destroy(g_small_images);
  return static_cast<int>(result);
}
