// Beside this program lies a wnaspi32.dll without SendASPI32Command.
#include <windows.h>

#include <gtest/gtest.h>

#include "device/AspiLayer.h"
#include "device/win32/Win32LibraryLoader.h"
#include "testing/engine/RecordingReporter.h"

namespace {

TEST(IncompleteAspiLayer, IsReleasedAfterItsBox) {
  Win32LibraryLoader loader;
  RecordingReporter sink;

  EXPECT_EQ(LoadLayer(loader, sink), nullptr);
  ASSERT_EQ(sink.Messages().size(), 1u);
  EXPECT_EQ(sink.Messages()[0].text, "Get ASPI32 Information and Send Command Error!");
  EXPECT_EQ(sink.Messages()[0].caption, "Error Status");
  EXPECT_EQ(GetModuleHandleA("wnaspi32.dll"), nullptr);
}

}  // namespace
