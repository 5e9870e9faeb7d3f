// CDialog under the real dialog manager: the modal run, the dialog object in
// DWLP_USER, initialisation order, message-map dispatch with typed
// arguments, and the default handling that ends the run.
#include <gtest/gtest.h>

#include "framework/CWinApp.h"
#include "tests/framework/TestDialogs.h"

namespace {

using Events = std::vector<std::string>;

TEST(DialogTest, ModalRunKeepsTheDialogObjectInDwlpUser) {
  HWND seen = nullptr;
  LONG_PTR stored = 0;
  ScriptedDialog dialog([&](ScriptedDialog& self) {
    seen = self.m_hWnd;
    stored = ::GetWindowLongPtrA(self.m_hWnd, DWLP_USER);
    self.PostClicked(IDOK);
  });

  EXPECT_EQ(dialog.DoModal(), IDOK);
  ASSERT_NE(seen, nullptr);
  EXPECT_EQ(stored, reinterpret_cast<LONG_PTR>(&dialog));
  EXPECT_FALSE(::IsWindow(seen));
  EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(DialogTest, TrueFromInitialisationFocusesTheFirstTabStop) {
  HWND focus = nullptr;
  HWND firstTabStop = nullptr;
  MappedDialog dialog([&](MappedDialog& self) {
    focus = ::GetFocus();
    firstTabStop = ::GetDlgItem(self.m_hWnd, IDOK);
    self.PostClicked(IDOK);
  });

  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(focus, firstTabStop);
}

TEST(DialogTest, ButtonClicksReachTheirOwnHandlersAndOtherNotificationsNone) {
  MappedDialog dialog([](MappedDialog& self) {
    self.Post(WM_COMMAND, MAKEWPARAM(IDC_TEST_FIRST, BN_DOUBLECLICKED), 0);
    self.PostClicked(IDC_TEST_SECOND);
    // A real click: the button itself tells the dialog.
    ::PostMessageA(::GetDlgItem(self.m_hWnd, IDC_TEST_FIRST), BM_CLICK, 0, 0);
    self.PostClicked(IDOK);
  });

  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.events, (Events{"init begins", "init ends", "second", "first"}));
}

TEST(DialogTest, SystemCommandHandlerGetsTheIdAndParameter) {
  MappedDialog dialog([](MappedDialog& self) {
    self.Post(WM_SYSCOMMAND, 0x13, 0x00120034);
    self.PostClicked(IDOK);
  });

  EXPECT_EQ(dialog.DoModal(), IDOK);
  ASSERT_EQ(dialog.events.size(), 3u);
  EXPECT_EQ(dialog.events.back(), "system command 19 1179700");
}

TEST(DialogTest, QueryDragIconReturnsTheHandlersIcon) {
  LRESULT answer = 0;
  MappedDialog dialog([&](MappedDialog& self) {
    answer = ::SendMessageA(self.m_hWnd, WM_QUERYDRAGICON, 0, 0);
    self.PostClicked(IDOK);
  });

  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(answer, reinterpret_cast<LRESULT>(dialog.dragIcon));
}

class PaintTest : public testing::TestWithParam<bool> {};

// Whether the handler paints itself or passes the message on, the window
// is valid afterwards; otherwise WM_PAINT would come back for ever.
TEST_P(PaintTest, PaintHandlerLeavesTheWindowValidated) {
  bool stillInvalid = true;
  size_t eventsBefore = 0;
  size_t eventsAfter = 0;
  MappedDialog dialog([&](MappedDialog& self) {
    eventsBefore = self.events.size();
    ::InvalidateRect(self.m_hWnd, nullptr, TRUE);
    ::UpdateWindow(self.m_hWnd);
    eventsAfter = self.events.size();
    stillInvalid = ::GetUpdateRect(self.m_hWnd, nullptr, FALSE) != FALSE;
    self.PostClicked(IDOK);
  });
  dialog.paintWithDC = GetParam();

  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(eventsAfter, eventsBefore + 1);
  EXPECT_EQ(dialog.events.at(eventsBefore), "paint");
  EXPECT_FALSE(stillInvalid);
}

INSTANTIATE_TEST_SUITE_P(Dialog, PaintTest, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& param) { return param.param ? "WithPaintDC" : "PassedOn"; });

struct EndingCase {
  const char* name;
  UINT message;
  WPARAM wParam;
  bool toFocusedButton;  // keys go to the control with the focus
  INT_PTR expected;
};

const EndingCase kEndingCases[] = {
    {"ExitButton", WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), false, IDOK},
    {"CancelCommand", WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), false, IDCANCEL},
    {"EnterKey", WM_KEYDOWN, VK_RETURN, true, IDOK},
    {"EscapeKey", WM_KEYDOWN, VK_ESCAPE, true, IDCANCEL},
    {"CloseBox", WM_SYSCOMMAND, SC_CLOSE, false, IDCANCEL},
    {"CloseMessage", WM_CLOSE, 0, false, IDCANCEL},
};

class EndingTest : public testing::TestWithParam<std::tuple<EndingCase, bool>> {};

void PostEnding(const CDialog& dialog, const EndingCase& ending) {
  HWND target = ending.toFocusedButton ? ::GetDlgItem(dialog.m_hWnd, IDOK) : dialog.m_hWnd;
  ::PostMessageA(target, ending.message, ending.wParam, 0);
}

// The mapped dialog binds WM_SYSCOMMAND and passes SC_CLOSE on; the plain one
// binds nothing. Both must end the same way.
TEST_P(EndingTest, EndsTheModalRunWithTheRightResult) {
  const auto& [ending, mapped] = GetParam();
  INT_PTR result = 0;
  if (mapped) {
    MappedDialog dialog([&](MappedDialog& self) { PostEnding(self, ending); });
    result = dialog.DoModal();
  } else {
    ScriptedDialog dialog([&](ScriptedDialog& self) { PostEnding(self, ending); });
    result = dialog.DoModal();
  }
  EXPECT_EQ(result, ending.expected);
}

INSTANTIATE_TEST_SUITE_P(Dialog, EndingTest, testing::Combine(testing::ValuesIn(kEndingCases), testing::Bool()),
                         [](const testing::TestParamInfo<std::tuple<EndingCase, bool>>& param) {
                           return std::string(std::get<0>(param.param).name) +
                                  (std::get<1>(param.param) ? "Mapped" : "Plain");
                         });

class TestApp : public CWinApp {
 public:
  BOOL InitInstance() override { return FALSE; }
};

// Run from a handler of the outer dialog, as an About box is.
HWND OwnerOfInnerDialog(CWnd* parent, INT_PTR& innerResult) {
  HWND owner = nullptr;
  ScriptedDialog inner(
      [&](ScriptedDialog& self) {
        owner = ::GetWindow(self.m_hWnd, GW_OWNER);
        self.PostClicked(IDOK);
      },
      IDD_TEST_INNER_DIALOG, parent);
  innerResult = inner.DoModal();
  return owner;
}

TEST(DialogOwnerTest, DialogWithoutParentIsOwnedByTheMainWindow) {
  TestApp app;
  HWND mainWindow = nullptr;
  HWND mainOwner = reinterpret_cast<HWND>(1);
  HWND innerOwner = nullptr;
  INT_PTR innerResult = 0;
  MappedDialog main([&](MappedDialog& self) {
    mainWindow = self.m_hWnd;
    mainOwner = ::GetWindow(self.m_hWnd, GW_OWNER);
    innerOwner = OwnerOfInnerDialog(nullptr, innerResult);
    self.PostClicked(IDOK);
  });
  app.m_pMainWnd = &main;

  EXPECT_EQ(main.DoModal(), IDOK);
  EXPECT_EQ(mainOwner, nullptr);
  EXPECT_EQ(innerResult, IDOK);
  ASSERT_NE(mainWindow, nullptr);
  EXPECT_EQ(innerOwner, mainWindow);
}

TEST(DialogOwnerTest, DialogWithParentIsOwnedByIt) {
  HWND mainWindow = nullptr;
  HWND innerOwner = nullptr;
  INT_PTR innerResult = 0;
  MappedDialog main([&](MappedDialog& self) {
    mainWindow = self.m_hWnd;
    innerOwner = OwnerOfInnerDialog(&self, innerResult);
    self.PostClicked(IDOK);
  });

  EXPECT_EQ(main.DoModal(), IDOK);
  EXPECT_EQ(innerResult, IDOK);
  ASSERT_NE(mainWindow, nullptr);
  EXPECT_EQ(innerOwner, mainWindow);
}

}  // namespace
