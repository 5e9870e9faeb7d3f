// CFileDialog: the filter conversion, and a modal run answered from inside.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "framework/CFileDialog.h"

namespace {

using namespace std::string_literals;

struct FilterCase {
  const char* filter;
  std::string expected;
};

TEST(FileFilterTest, BarsBecomeNulsAndTheClosingPairEndsTheList) {
  const FilterCase cases[] = {
      {"Bin Files (*.bin)|*.bin||", "Bin Files (*.bin)\0*.bin\0\0"s},
      {"Bin Files (*.bin)|*.bin|All Files (*.*)|*.*||", "Bin Files (*.bin)\0*.bin\0All Files (*.*)\0*.*\0\0"s},
      {"", ""s},
  };
  for (const FilterCase& c : cases) EXPECT_EQ(ConvertFileFilter(c.filter), c.expected) << c.filter;
}

TEST(FileFilterTest, TheDialogHandsTheSystemTheConvertedFilter) {
  CFileDialog dialog("bin", "*.bin", OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, "Bin Files (*.bin)|*.bin||", nullptr);
  const char* filter = dialog.m_ofn.lpstrFilter;
  ASSERT_NE(filter, nullptr);
  EXPECT_STREQ(filter, "Bin Files (*.bin)");
  EXPECT_STREQ(filter + strlen(filter) + 1, "*.bin");
  EXPECT_STREQ(dialog.m_ofn.lpstrFile, "*.bin");
  EXPECT_STREQ(dialog.m_ofn.lpstrDefExt, "bin");
  EXPECT_EQ(dialog.m_ofn.Flags & 0x1004u, 0x1004u);
}

// The answer to give the open dialog once it shows: a name for the name box
// and the button to press. Should the dialog still be open long after the
// answer (a complaint box in front of it), both are closed so that the test
// fails instead of hanging.
struct Answer {
  std::string name;
  WPARAM button;
  HWND answered = nullptr;
  int ticksSince = 0;
};
Answer* pendingAnswer = nullptr;

constexpr UINT kTickMilliseconds = 100;
constexpr int kTicksBeforeGivingUp = 50;
constexpr int kFileNameBox = 0x47C;  // cmb13, the name box of the explorer-style dialog

void CALLBACK AnswerOpenDialog(HWND, UINT, UINT_PTR, DWORD) {
  if (pendingAnswer == nullptr) return;
  HWND active = ::GetActiveWindow();
  if (pendingAnswer->answered == nullptr) {
    if (active == nullptr || ::GetDlgItem(active, kFileNameBox) == nullptr) return;
    ::SetDlgItemTextA(active, kFileNameBox, pendingAnswer->name.c_str());
    ::PostMessageA(active, WM_COMMAND, pendingAnswer->button, 0);
    pendingAnswer->answered = active;
    return;
  }
  if (++pendingAnswer->ticksSince < kTicksBeforeGivingUp) return;
  if (active != nullptr && active != pendingAnswer->answered) ::PostMessageA(active, WM_COMMAND, IDOK, 0);
  ::PostMessageA(pendingAnswer->answered, WM_COMMAND, IDCANCEL, 0);
}

INT_PTR RunAnswered(CFileDialog& dialog, Answer& answer) {
  pendingAnswer = &answer;
  UINT_PTR timer = ::SetTimer(nullptr, 0, kTickMilliseconds, &AnswerOpenDialog);
  INT_PTR result = dialog.DoModal();
  ::KillTimer(nullptr, timer);
  pendingAnswer = nullptr;
  return result;
}

class FileDialogRunTest : public testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    ASSERT_NE(::GetTempPathA(MAX_PATH, temp), 0u);
    path_ = std::string(temp) + "comboflash-open-" + std::to_string(::GetCurrentProcessId()) + ".bin";
    HANDLE file = ::CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::CloseHandle(file);
  }
  void TearDown() override { ::DeleteFileA(path_.c_str()); }

  std::string path_;
};

TEST_F(FileDialogRunTest, ConfirmedGivesTheFullPath) {
  CFileDialog dialog("bin", "*.bin", OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, "Bin Files (*.bin)|*.bin||", nullptr);
  Answer answer{path_, IDOK};

  EXPECT_EQ(RunAnswered(dialog, answer), IDOK);
  EXPECT_NE(answer.answered, nullptr);
  EXPECT_EQ(dialog.GetPathName(), path_);
}

TEST_F(FileDialogRunTest, Cancelled) {
  CFileDialog dialog("bin", "*.bin", OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, "Bin Files (*.bin)|*.bin||", nullptr);
  Answer answer{path_, IDCANCEL};

  EXPECT_EQ(RunAnswered(dialog, answer), IDCANCEL);
  EXPECT_NE(answer.answered, nullptr);
}

}  // namespace
