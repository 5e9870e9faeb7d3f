#include "device/AspiLayer.h"

#include <gtest/gtest.h>

#include "AspiFixture.h"

namespace {

class LoadLayerTest : public AspiFixture, public testing::Test {};

using Names = std::vector<std::string>;

TEST_F(LoadLayerTest, TriesDriveCFirstThenTheSearchPath) {
  const auto loaded = LoadLayer(library, sink);

  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(library.loadAttempts, (Names{"c:wnaspi32.dll", "wnaspi32.dll"}));
  EXPECT_EQ(library.lookups, (Names{"GetASPI32SupportInfo", "SendASPI32Command"}));
  EXPECT_TRUE(sink.Messages().empty());
}

TEST_F(LoadLayerTest, TheLibraryOnDriveCWins) {
  library.loadableNames = {"c:wnaspi32.dll", "wnaspi32.dll"};
  ASSERT_NE(LoadLayer(library, sink), nullptr);
  EXPECT_EQ(library.loadAttempts, (Names{"c:wnaspi32.dll"}));
}

TEST_F(LoadLayerTest, NoLibraryGivesNoLayerAfterOneOwnerlessBox) {
  library.loadableNames.clear();

  EXPECT_EQ(LoadLayer(library, sink), nullptr);
  ASSERT_EQ(sink.Messages().size(), 1u);
  EXPECT_EQ(sink.Messages()[0].text, "Load wnaspi32.dll Fail!");
  EXPECT_EQ(sink.Messages()[0].caption, "Error Status");
  EXPECT_TRUE(library.lookups.empty());
}

TEST_F(LoadLayerTest, LibraryLackingEitherEntryIsReleasedAfterOneBoxAndBothLookups) {
  for (const bool lacksFirst : {true, false}) {
    InProcessAspiLibrary incomplete(layer);
    incomplete.exportsGetSupportInfo = !lacksFirst;
    incomplete.exportsSendCommand = lacksFirst;
    RecordingReporter boxes;

    EXPECT_EQ(LoadLayer(incomplete, boxes), nullptr);
    EXPECT_EQ(incomplete.lookups, (Names{"GetASPI32SupportInfo", "SendASPI32Command"}));
    EXPECT_EQ(incomplete.released, 1);
    ASSERT_EQ(boxes.Messages().size(), 1u);
    EXPECT_EQ(boxes.Messages()[0].text, "Get ASPI32 Information and Send Command Error!");
    EXPECT_EQ(boxes.Messages()[0].caption, "Error Status");
  }
}

TEST_F(LoadLayerTest, LayerReleasesItsLibraryOnceWhenItGoes) {
  LoadLayer(library, sink).reset();
  EXPECT_EQ(library.released, 1);
}

TEST_F(LoadLayerTest, HostAdapterCountIsTheLowByteAlone) {
  layer.SetHostAdapterCount(3);  // the layer's status byte SS_COMP sits above it
  EXPECT_EQ(LoadLayer(library, sink)->HostAdapterCount(), 3);
}

}  // namespace
