// The program's compiled resources, read back from this test program, which
// links them: both dialog templates field by field, their languages, the
// About menu string, the version record, the icons and the picture; then
// both templates made into real dialogs.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <set>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/framework/DialogTemplateReader.h"
#include "tests/framework/TestDialogs.h"

namespace {

constexpr LANGID kEnglishUs = 1033;
constexpr LANGID kChineseTraditional = 1028;

constexpr int kButton = 0x80;
constexpr int kEdit = 0x81;
constexpr int kStatic = 0x82;

struct Resource {
  const void* data = nullptr;
  DWORD size = 0;
};

Resource Find(LPCSTR type, int id, LANGID language) {
  HRSRC found = ::FindResourceExA(nullptr, type, MAKEINTRESOURCEA(id), language);
  if (found == nullptr) return {};
  return {::LockResource(::LoadResource(nullptr, found)), ::SizeofResource(nullptr, found)};
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR found) {
  reinterpret_cast<std::set<LANGID>*>(found)->insert(language);
  return TRUE;
}

std::set<LANGID> LanguagesOf(LPCSTR type, int id) {
  std::set<LANGID> languages;
  ::EnumResourceLanguagesA(nullptr, type, MAKEINTRESOURCEA(id), &CollectLanguage, reinterpret_cast<LONG_PTR>(&languages));
  return languages;
}

DialogTemplateData ReadDialog(int id, LANGID language) {
  Resource resource = Find(RT_DIALOG, id, language);
  if (resource.data == nullptr) return {};
  return ReadDialogTemplate(resource.data, resource.size);
}

std::u16string Upper(std::u16string text) {
  for (char16_t& c : text) c = static_cast<char16_t>(std::towupper(c));
  return text;
}

// What a control of a template must be. A class is a predefined ordinal or
// a name; names are compared without case, as the system compares window
// classes (the resource compiler writes them in capitals).
struct ExpectedItem {
  int id;
  int classOrdinal;
  const char16_t* className;
  int textOrdinal;
  const char16_t* text;  // nullptr: any non-empty text (the lines left to us)
  DWORD style;
  DWORD exStyle;
  short x, y, cx, cy;
};

void ExpectItems(const DialogTemplateData& dialog, const std::vector<ExpectedItem>& expected) {
  ASSERT_EQ(dialog.items.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE("control #" + std::to_string(i + 1));
    const DialogItemTemplate& item = dialog.items[i];
    const ExpectedItem& want = expected[i];
    EXPECT_EQ(item.id, want.id);
    if (want.className == nullptr) {
      EXPECT_EQ(item.windowClass.ordinal, want.classOrdinal);
    } else {
      EXPECT_EQ(item.windowClass.ordinal, -1);
      EXPECT_EQ(Upper(item.windowClass.text), Upper(want.className));
    }
    EXPECT_EQ(item.title.ordinal, want.textOrdinal);
    if (want.textOrdinal == -1) {
      if (want.text != nullptr) {
        EXPECT_TRUE(item.title.text == want.text);
      } else {
        EXPECT_FALSE(item.title.text.empty());
      }
    }
    EXPECT_EQ(item.style, want.style) << std::hex << item.style;
    EXPECT_EQ(item.exStyle, want.exStyle) << std::hex << item.exStyle;
    EXPECT_EQ(item.x, want.x);
    EXPECT_EQ(item.y, want.y);
    EXPECT_EQ(item.cx, want.cx);
    EXPECT_EQ(item.cy, want.cy);
  }
}

TEST(ResourcesTest, MainDialogTemplate) {
  EXPECT_EQ(LanguagesOf(RT_DIALOG, IDD_FLASH_DIALOG), std::set<LANGID>{kEnglishUs});
  DialogTemplateData dialog = ReadDialog(IDD_FLASH_DIALOG, kEnglishUs);

  EXPECT_TRUE(dialog.extended);
  EXPECT_EQ(dialog.style, 0x90C800C4u);
  EXPECT_EQ(dialog.exStyle, 0u);
  EXPECT_EQ(dialog.x, 0);
  EXPECT_EQ(dialog.y, 0);
  EXPECT_EQ(dialog.cx, 228);
  EXPECT_EQ(dialog.cy, 192);
  EXPECT_TRUE(dialog.menu.text.empty() && dialog.menu.ordinal == -1);
  EXPECT_TRUE(dialog.windowClass.text.empty() && dialog.windowClass.ordinal == -1);
  EXPECT_TRUE(dialog.title == u"Quellin Combo Flash Program (Version: 1.02)");
  EXPECT_EQ(dialog.pointSize, 10);
  EXPECT_EQ(dialog.weight, 0);
  EXPECT_EQ(dialog.italic, 0);
  EXPECT_EQ(dialog.charset, 1);
  EXPECT_TRUE(dialog.typeface == u"System");

  ExpectItems(dialog, {
                          {1, kButton, nullptr, -1, u"Exit", 0x50010001, 0, 177, 159, 36, 14},
                          {-1, kStatic, nullptr, -1, u"Select Driver :", 0x50020000, 0, 77, 7, 47, 8},
                          {-1, kStatic, nullptr, -1, u"Select File :", 0x50020000, 0, 10, 66, 39, 8},
                          {-1, kStatic, nullptr, -1, u"Flash Status :", 0x50020000, 0, 26, 102, 46, 8},
                          {1001, kEdit, nullptr, -1, u"", 0x50810080, 0, 7, 79, 122, 12},
                          {1002, kButton, nullptr, -1, u"Select", 0x50010000, 0, 140, 78, 36, 14},
                          {-1, kStatic, nullptr, 137, nullptr, 0x50000003, 0, 7, 98, 20, 20},
                          {1003, kEdit, nullptr, -1, u"", 0x50A10DC4, 0x00020221, 7, 119, 120, 60},
                          {1006, -1, u"SysListView32", -1, u"List3", 0x50810049, 0x00004000, 76, 20, 145, 51},
                          {1007, kButton, nullptr, -1, u"Flash", 0x50010000, 0, 137, 159, 36, 14},
                          {1008, -1, u"msctls_progress32", -1, u"Progress1", 0x50800000, 0x00020200, 133, 139, 83, 9},
                          {1000, kEdit, nullptr, -1, u"", 0x50810880, 0x00020231, 133, 121, 84, 13},
                          {1004, kStatic, nullptr, 130, nullptr, 0x5080080E, 0x00020000, 7, 7, 58, 30},
                      });
}

TEST(ResourcesTest, AboutDialogTemplate) {
  EXPECT_EQ(LanguagesOf(RT_DIALOG, IDD_ABOUT_DIALOG), std::set<LANGID>{kChineseTraditional});
  DialogTemplateData dialog = ReadDialog(IDD_ABOUT_DIALOG, kChineseTraditional);

  EXPECT_FALSE(dialog.extended);
  EXPECT_EQ(dialog.style, 0x90C800C0u);
  EXPECT_EQ(dialog.exStyle, 0u);
  EXPECT_EQ(dialog.x, 0);
  EXPECT_EQ(dialog.y, 0);
  EXPECT_EQ(dialog.cx, 252);
  EXPECT_EQ(dialog.cy, 118);
  EXPECT_TRUE(dialog.title == u" About Quellin Flash Program");
  EXPECT_EQ(dialog.pointSize, 9);
  // The face name in UTF-16, whatever code page the resource script was read in.
  EXPECT_TRUE(dialog.typeface == u"\u65B0\u7D30\u660E\u9AD4");

  ExpectItems(dialog, {
                          {-1, kStatic, nullptr, -1, nullptr, 0x50020000, 0, 95, 40, 119, 8},
                          {1, kButton, nullptr, -1, u"OK", 0x50030001, 0, 181, 66, 50, 32},
                          {-1, kStatic, nullptr, -1, u"Quellin Combo Flash  Version 1.02", 0x50020080, 0, 95, 27, 124, 12},
                          {130, kStatic, nullptr, 130, nullptr, 0x5000000E, 0, 6, 25, 75, 37},
                          {-1, kStatic, nullptr, -1, nullptr, 0x50020000, 0, 73, 83, 62, 12},
                      });
}

TEST(ResourcesTest, AboutMenuStringIsChineseTraditionalOnly) {
  constexpr int kBlock = IDS_ABOUT_MENU / 16 + 1;  // strings live in blocks of 16
  EXPECT_EQ(LanguagesOf(RT_STRING, kBlock), std::set<LANGID>{kChineseTraditional});
  Resource block = Find(RT_STRING, kBlock, kChineseTraditional);
  ASSERT_NE(block.data, nullptr);
  const char16_t* entry = static_cast<const char16_t*>(block.data);
  for (int i = 0; i < IDS_ABOUT_MENU % 16; ++i) entry += 1 + entry[0];
  EXPECT_TRUE(std::u16string(entry + 1, entry[0]) == u"About ....");

  char text[64] = {};
  EXPECT_EQ(::LoadStringA(::GetModuleHandleA(nullptr), IDS_ABOUT_MENU, text, sizeof text), 10);
  EXPECT_STREQ(text, "About ....");
}

TEST(ResourcesTest, VersionRecord) {
  char path[MAX_PATH];
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  DWORD size = ::GetFileVersionInfoSizeA(path, nullptr);
  ASSERT_GT(size, 0u);
  std::vector<char> info(size);
  ASSERT_TRUE(::GetFileVersionInfoA(path, 0, size, info.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00020000u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00020000u);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

  const std::pair<const char*, const char*> strings[] = {
      {"FileDescription", "Quellin Combo Drive Flash Utility"},
      {"FileVersion", "1, 0, 2, 0"},
      {"ProductVersion", "1, 0, 2, 0"},
      {"CompanyName", "ComboFlash Developers"},
      {"OriginalFilename", "ComboFlash.exe"},
      {"InternalName", "ComboFlash"},
      {"ProductName", "Quellin Combo Flash"},
  };
  for (const auto& [name, value] : strings) {
    char* text = nullptr;
    std::string query = std::string("\\StringFileInfo\\040904B0\\") + name;
    ASSERT_TRUE(::VerQueryValueA(info.data(), query.c_str(), reinterpret_cast<void**>(&text), &length)) << name;
    EXPECT_STREQ(text, value) << name;
  }
  char* copyright = nullptr;
  ASSERT_TRUE(::VerQueryValueA(info.data(), "\\StringFileInfo\\040904B0\\LegalCopyright",
                               reinterpret_cast<void**>(&copyright), &length));
  EXPECT_NE(std::string(copyright).find("ComboFlash Developers"), std::string::npos);
}

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)
static_assert(sizeof(GroupIconEntry) == 14);

class IconTest : public testing::TestWithParam<int> {};

TEST_P(IconTest, GroupIconHas16And32PixelImages) {
  Resource group = Find(RT_GROUP_ICON, GetParam(), kEnglishUs);
  ASSERT_NE(group.data, nullptr);
  const WORD* header = static_cast<const WORD*>(group.data);
  EXPECT_EQ(header[1], 1);  // icons, not cursors
  const auto* entries = reinterpret_cast<const GroupIconEntry*>(header + 3);
  std::set<int> sizes;
  for (WORD i = 0; i < header[2]; ++i) {
    EXPECT_EQ(entries[i].width, entries[i].height);
    sizes.insert(entries[i].width);
    EXPECT_NE(Find(RT_ICON, entries[i].id, kEnglishUs).data, nullptr) << "image " << entries[i].id;
  }
  EXPECT_EQ(sizes, (std::set<int>{16, 32}));

  for (int size : {16, 32}) {
    HICON icon = static_cast<HICON>(
        ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(GetParam()), IMAGE_ICON, size, size, 0));
    ASSERT_NE(icon, nullptr) << size;
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(icon, &info));
    BITMAP bitmap{};
    ::GetObjectA(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, size);
    if (info.hbmColor != nullptr) ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    ::DestroyIcon(icon);
  }
}

INSTANTIATE_TEST_SUITE_P(Resources, IconTest, testing::Values(IDI_APP_ICON, IDI_DRIVE_ICON, IDI_STATUS_ICON),
                         [](const testing::TestParamInfo<int>& param) { return "Icon" + std::to_string(param.param); });

TEST(ResourcesTest, PictureIsA24BitBitmap) {
  Resource bitmap = Find(RT_BITMAP, IDB_PICTURE, kEnglishUs);
  ASSERT_NE(bitmap.data, nullptr);
  const auto* header = static_cast<const BITMAPINFOHEADER*>(bitmap.data);
  EXPECT_EQ(header->biBitCount, 24);
  EXPECT_GT(header->biWidth, 0);
  EXPECT_GT(header->biHeight, 0);
}

// Both templates become real dialogs: every control is made with its class
// and the icon and picture statics find their images.
TEST(ResourcesTest, MainTemplateMakesItsDialog) {
  struct Control {
    int id;
    const char* className;
  };
  std::vector<std::string> classes;
  HANDLE picture = nullptr;
  HANDLE statusIcon = nullptr;
  const Control controls[] = {{IDOK, "Button"},         {IDC_FILE_PATH, "Edit"},
                              {IDC_SELECT, "Button"},   {IDC_CHECKSUM_LOG, "Edit"},
                              {IDC_DRIVE_LIST, "SysListView32"}, {IDC_FLASH, "Button"},
                              {IDC_PROGRESS, "msctls_progress32"}, {IDC_STATUS_LINE, "Edit"},
                              {IDC_PICTURE, "Static"}};
  ScriptedDialog dialog(
      [&](ScriptedDialog& self) {
        for (const Control& control : controls) {
          char name[64] = {};
          ::GetClassNameA(::GetDlgItem(self.m_hWnd, control.id), name, sizeof name);
          classes.push_back(name);
        }
        picture = reinterpret_cast<HANDLE>(::SendDlgItemMessageA(self.m_hWnd, IDC_PICTURE, STM_GETIMAGE, IMAGE_BITMAP, 0));
        // The status icon is the one static whose text is an icon.
        for (HWND child = ::GetWindow(self.m_hWnd, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
          if ((::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            statusIcon = reinterpret_cast<HANDLE>(::SendMessageA(child, STM_GETICON, 0, 0));
        }
        self.PostClicked(IDOK);
      },
      IDD_FLASH_DIALOG);

  ASSERT_EQ(dialog.DoModal(), IDOK);
  ASSERT_EQ(classes.size(), std::size(controls));
  for (size_t i = 0; i < classes.size(); ++i) EXPECT_EQ(classes[i], controls[i].className) << controls[i].id;
  EXPECT_NE(picture, nullptr);
  EXPECT_NE(statusIcon, nullptr);
}

TEST(ResourcesTest, AboutTemplateMakesItsDialog) {
  HANDLE picture = nullptr;
  ScriptedDialog dialog(
      [&](ScriptedDialog& self) {
        picture = reinterpret_cast<HANDLE>(
            ::SendDlgItemMessageA(self.m_hWnd, IDC_ABOUT_PICTURE, STM_GETIMAGE, IMAGE_BITMAP, 0));
        self.PostClicked(IDOK);
      },
      IDD_ABOUT_DIALOG);

  ASSERT_EQ(dialog.DoModal(), IDOK);
  EXPECT_NE(picture, nullptr);
}

}  // namespace
