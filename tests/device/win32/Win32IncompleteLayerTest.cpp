// Beside this program lies a wnaspi32.dll without SendASPI32Command.
#include <windows.h>

#include <gtest/gtest.h>

#include "device/win32/Win32LibraryLoader.h"
#include "device/windows-rules/AspiLayer.h"

namespace {

TEST(IncompleteAspiLayer, IsReleasedAndSaysWhy) {
  Win32LibraryLoader loader;

  const LayerLoad loaded = LoadLayer(loader);
  EXPECT_EQ(loaded.layer, nullptr);
  EXPECT_EQ(loaded.problem, LayerLoadProblem::EntryPointMissing);
  EXPECT_EQ(GetModuleHandleA("wnaspi32.dll"), nullptr);
}

}  // namespace
