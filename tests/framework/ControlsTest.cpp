// The control wrappers against real controls in a running dialog.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/CImageList.h"
#include "framework/CListCtrl.h"
#include "tests/framework/TestDialogs.h"

namespace {

// Runs the check inside a dialog's modal loop, then ends the dialog.
void InDialog(const MappedDialog::RunScript& check) {
  MappedDialog dialog([&](MappedDialog& self) {
    check(self);
    self.PostClicked(IDOK);
  });
  ASSERT_EQ(dialog.DoModal(), IDOK);
}

TEST(ProgressCtrlTest, RangeStepAndPositionReachTheBar) {
  InDialog([](MappedDialog& self) {
    CProgressCtrl& bar = self.progress;
    bar.SetRange(0, 32);
    PBRANGE range{};
    bar.SendMessageA(PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, 0);
    EXPECT_EQ(range.iHigh, 32);

    EXPECT_EQ(bar.SetStep(1), 10);  // the control's own default step
    EXPECT_EQ(bar.SetPos(0), 0);
    EXPECT_EQ(bar.StepIt(), 0);
    EXPECT_EQ(bar.StepIt(), 1);
    EXPECT_EQ(bar.GetPos(), 2);
    EXPECT_EQ(bar.SetPos(32), 2);
    EXPECT_EQ(bar.GetPos(), 32);
  });
}

LVCOLUMNA Column(const char* text, int width) {
  LVCOLUMNA column{};
  column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
  column.fmt = LVCFMT_LEFT;
  column.cx = width;
  column.pszText = const_cast<char*>(text);
  return column;
}

int InsertRow(CListCtrl& list, int index, const char* text) {
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE;
  item.iItem = index;
  item.pszText = const_cast<char*>(text);
  item.iImage = 0;
  return list.InsertItem(&item);
}

TEST(ListCtrlTest, ColumnRowsSelectionMarkAndText) {
  InDialog([](MappedDialog& self) {
    CListCtrl list(::GetDlgItem(self.m_hWnd, IDC_TEST_LIST));
    RECT client{};
    list.GetClientRect(&client);
    LVCOLUMNA column = Column("Drive Letter :", client.right);
    EXPECT_EQ(list.InsertColumn(0, &column), 0);
    EXPECT_EQ(list.SendMessageA(LVM_GETCOLUMNWIDTH, 0), client.right);

    EXPECT_EQ(InsertRow(list, 0, "E:\\ FIRST"), 0);
    EXPECT_EQ(InsertRow(list, 1, "f:\\ SECOND"), 1);
    EXPECT_EQ(list.GetSelectionMark(), -1);

    list.SendMessageA(LVM_SETSELECTIONMARK, 0, 1);
    EXPECT_EQ(list.GetSelectionMark(), 1);

    char text[128];
    EXPECT_EQ(list.GetItemText(1, 0, text, sizeof text), 10);
    EXPECT_STREQ(text, "f:\\ SECOND");
    EXPECT_EQ(list.GetItemText(0, 0, text, sizeof text), 9);
    EXPECT_STREQ(text, "E:\\ FIRST");
  });
}

TEST(ListCtrlTest, SharedImageListsOutliveTheListView) {
  CImageList small;
  ASSERT_TRUE(small.Create(16, 16, ILC_COLOR, 1, 0));
  ASSERT_EQ(small.Add(::LoadIcon(nullptr, IDI_APPLICATION)), 0);
  InDialog([&](MappedDialog& self) {
    CListCtrl list(::GetDlgItem(self.m_hWnd, IDC_TEST_LIST));
    EXPECT_EQ(list.SetImageList(small, LVSIL_SMALL), nullptr);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(list.SendMessageA(LVM_GETIMAGELIST, LVSIL_SMALL)), small.m_hImageList);
  });
  // The list view is gone; with the shared style it left the list alone.
  EXPECT_EQ(::ImageList_GetImageCount(small.m_hImageList), 1);
}

TEST(ImageListTest, AddsIconsAndDestroysTheListWithTheWrapper) {
  HIMAGELIST handle = nullptr;
  {
    CImageList images;
    ASSERT_TRUE(images.Create(32, 32, ILC_COLOR, 1, 0));
    handle = images.GetSafeHandle();
    int cx = 0;
    int cy = 0;
    ASSERT_TRUE(::ImageList_GetIconSize(handle, &cx, &cy));
    EXPECT_EQ(cx, 32);
    EXPECT_EQ(cy, 32);
    EXPECT_EQ(images.Add(::LoadIcon(nullptr, IDI_APPLICATION)), 0);
    EXPECT_EQ(images.Add(::LoadIcon(nullptr, IDI_INFORMATION)), 1);
    EXPECT_EQ(::ImageList_GetImageCount(handle), 2);
  }
  // Gone: the system no longer takes the handle for an image list.
  EXPECT_FALSE(::ImageList_Destroy(handle));
}

TEST(WndTest, SystemMenuTakesASeparatorAndAnItem) {
  InDialog([](MappedDialog& self) {
    CMenu menu = self.GetSystemMenu(FALSE);
    ASSERT_NE(menu.GetSafeHmenu(), nullptr);
    int before = ::GetMenuItemCount(menu.m_hMenu);
    EXPECT_TRUE(menu.AppendMenuA(MF_SEPARATOR));
    EXPECT_TRUE(menu.AppendMenuA(MF_STRING, 0x10, "About ...."));
    ASSERT_EQ(::GetMenuItemCount(menu.m_hMenu), before + 2);

    MENUITEMINFOA separator{};
    separator.cbSize = sizeof separator;
    separator.fMask = MIIM_FTYPE;
    ::GetMenuItemInfoA(menu.m_hMenu, static_cast<UINT>(before), TRUE, &separator);
    EXPECT_TRUE(separator.fType & MFT_SEPARATOR);
    char text[32] = {};
    ::GetMenuStringA(menu.m_hMenu, static_cast<UINT>(before + 1), text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "About ....");
    EXPECT_EQ(::GetMenuItemID(menu.m_hMenu, before + 1), 0x10u);
  });
}

TEST(WndTest, ChildWrappersSetTextAndEnabledState) {
  InDialog([](MappedDialog& self) {
    CWnd button = self.GetDlgItem(IDC_TEST_FIRST);
    ASSERT_EQ(button.m_hWnd, ::GetDlgItem(self.m_hWnd, IDC_TEST_FIRST));
    EXPECT_TRUE(button.SetWindowTextA("Drive E: is processing"));
    char text[64] = {};
    ::GetWindowTextA(button.m_hWnd, text, sizeof text);
    EXPECT_STREQ(text, "Drive E: is processing");

    button.EnableWindow(FALSE);
    EXPECT_FALSE(::IsWindowEnabled(button.m_hWnd));
    button.EnableWindow(TRUE);
    EXPECT_TRUE(::IsWindowEnabled(button.m_hWnd));
    EXPECT_FALSE(self.IsIconic());
  });
}

}  // namespace
