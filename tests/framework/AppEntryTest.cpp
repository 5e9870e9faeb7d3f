// The framework's entry point with a program's own global application
// object: WinMain finds the object, hands it the instance and runs its
// start-up hook once. The hook runs the tests and returns FALSE, so the
// program ends at once with ExitInstance()'s code: the tests' result.
#include <gtest/gtest.h>

#include <windows.h>

#include "framework/CWinApp.h"

namespace {

class EntryTestApp : public CWinApp {
 public:
  BOOL InitInstance() override {
    ++startCount;
    testing::InitGoogleTest(&__argc, __argv);
    result = RUN_ALL_TESTS();
    return FALSE;
  }
  int ExitInstance() override { return result; }

  int startCount = 0;
  int result = 1;
};

EntryTestApp theTestApp;

TEST(AppEntryTest, GlobalObjectIsTheApplicationAndStartedOnce) {
  EXPECT_EQ(AfxGetApp(), &theTestApp);
  EXPECT_EQ(theTestApp.startCount, 1);
  EXPECT_EQ(theTestApp.m_hInstance, ::GetModuleHandleA(nullptr));
}

bool timerDispatched = false;

void CALLBACK QuitFromLoop(HWND, UINT, UINT_PTR timer, DWORD) {
  ::KillTimer(nullptr, timer);
  timerDispatched = true;
  ::PostQuitMessage(0);
}

// What a start-up hook that returned TRUE would get: the thread's messages
// until WM_QUIT, then ExitInstance()'s code.
TEST(AppEntryTest, RunDispatchesUntilQuitAndEndsWithExitInstance) {
  theTestApp.result = 42;
  ::SetTimer(nullptr, 0, 10, &QuitFromLoop);
  int code = theTestApp.Run();
  theTestApp.result = 1;
  EXPECT_TRUE(timerDispatched);
  EXPECT_EQ(code, 42);
}

}  // namespace
