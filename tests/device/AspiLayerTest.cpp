#include "device/windows-rules/AspiLayer.h"

#include <gtest/gtest.h>

#include "AspiFixture.h"

namespace {

class LoadLayerTest : public AspiFixture, public testing::Test {};

using Names = std::vector<std::string>;

TEST_F(LoadLayerTest, TriesDriveCFirstThenTheSearchPath) {
  const LayerLoad loaded = LoadLayer(library);

  ASSERT_NE(loaded.layer, nullptr);
  EXPECT_EQ(loaded.problem, LayerLoadProblem::None);
  EXPECT_EQ(library.loadAttempts, (Names{"c:wnaspi32.dll", "wnaspi32.dll"}));
  EXPECT_EQ(library.lookups, (Names{"GetASPI32SupportInfo", "SendASPI32Command"}));
}

TEST_F(LoadLayerTest, TheLibraryOnDriveCWins) {
  library.loadableNames = {"c:wnaspi32.dll", "wnaspi32.dll"};
  ASSERT_NE(LoadLayer(library).layer, nullptr);
  EXPECT_EQ(library.loadAttempts, (Names{"c:wnaspi32.dll"}));
}

TEST_F(LoadLayerTest, NoLibraryGivesNoLayerAndSaysSo) {
  library.loadableNames.clear();

  const LayerLoad loaded = LoadLayer(library);
  EXPECT_EQ(loaded.layer, nullptr);
  EXPECT_EQ(loaded.problem, LayerLoadProblem::LibraryNotFound);
  EXPECT_TRUE(library.lookups.empty());
}

TEST_F(LoadLayerTest, LibraryLackingEitherEntryIsReleasedAfterBothLookups) {
  for (const bool lacksFirst : {true, false}) {
    InProcessAspiLibrary incomplete(layer);
    incomplete.exportsGetSupportInfo = !lacksFirst;
    incomplete.exportsSendCommand = lacksFirst;

    const LayerLoad loaded = LoadLayer(incomplete);
    EXPECT_EQ(loaded.layer, nullptr);
    EXPECT_EQ(loaded.problem, LayerLoadProblem::EntryPointMissing);
    EXPECT_EQ(incomplete.lookups, (Names{"GetASPI32SupportInfo", "SendASPI32Command"}));
    EXPECT_EQ(incomplete.released, 1);
  }
}

TEST_F(LoadLayerTest, LayerReleasesItsLibraryOnceWhenItGoes) {
  LoadLayer(library).layer.reset();
  EXPECT_EQ(library.released, 1);
}

TEST_F(LoadLayerTest, HostAdapterCountIsTheLowByteAlone) {
  layer.SetHostAdapterCount(3);  // the layer's status byte SS_COMP sits above it
  EXPECT_EQ(LoadLayer(library).layer->HostAdapterCount(), 3);
}

TEST_F(LoadLayerTest, TransportLoadCarriesTheProblemOn) {
  library.loadableNames.clear();
  const AspiTransportLoad load = LoadAspiTransport(library, events);
  EXPECT_EQ(load.transport, nullptr);
  EXPECT_EQ(load.problem, LayerLoadProblem::LibraryNotFound);
}

}  // namespace
