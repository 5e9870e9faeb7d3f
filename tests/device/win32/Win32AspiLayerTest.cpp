// The ASPI transport over the real Win32 seams and our wnaspi32.dll, which
// this program finds beside itself (Wine told to prefer it over its own).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

#include "../DeviceTestSupport.h"
#include "device/core/ScsiCommands.h"
#include "device/win32/Win32EventFactory.h"
#include "device/win32/Win32LibraryLoader.h"
#include "device/windows-rules/AspiRequests.h"
#include "device/windows-rules/AspiTransport.h"

namespace {

using namespace std::chrono_literals;

std::string TempPath(const std::string& name) {
  char directory[MAX_PATH];
  GetTempPathA(MAX_PATH, directory);
  return std::string(directory) + "comboflash-" + std::to_string(GetCurrentProcessId()) + "-" + name;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class OurAspiLayer : public testing::Test {
 protected:
  void Configure(const std::string& config) {
    std::ofstream(configPath, std::ios::trunc) << config;
    SetEnvironmentVariableA("COMBOFLASH_ASPI_CONFIG", configPath.c_str());
    SetEnvironmentVariableA("COMBOFLASH_ASPI_REPORT", reportPath.c_str());
  }
  std::unique_ptr<AspiTransport> Load(std::chrono::milliseconds answerWait = kAspiAnswerWait) {
    return LoadAspiTransport(loader, events, answerWait).transport;
  }
  static InquiryAnswer Inquire(AspiTransport& transport, std::uint8_t hostAdapter, std::uint8_t target) {
    AspiTarget device(transport, hostAdapter, target);
    return InquireIdentity(device);
  }
  static ScsiOutcome WritePage(AspiTransport& transport, std::uint8_t target, const TestFirmware& firmware,
                               int page) {
    return transport.Execute(0, target,
                             MakePageWriteRequest(firmware.commands.at(page - 1), firmware.image.PageData(page)));
  }
  // The library goes once its last deferred thread has left it; the next
  // test must load it afresh, with its own configuration.
  static bool Unloaded() {
    for (int tries = 0; tries < 200 && GetModuleHandleA("wnaspi32.dll"); ++tries) Sleep(25);
    return GetModuleHandleA("wnaspi32.dll") == nullptr;
  }
  void TearDown() override {
    EXPECT_TRUE(Unloaded()) << "wnaspi32.dll was still loaded 5 s after the test: a deferred thread of it never left";
    DeleteFileA(configPath.c_str());
    DeleteFileA(reportPath.c_str());
    DeleteFileA((reportPath + ".ha0-t1.bin").c_str());
  }

  void WriteWholeImage(const std::string& completion) {
    Configure("adapters 1\n" + completion + "\ntarget 0 1 05 \"ACME\" \"COMBO DVD/RW 52X\" \"1.02\"\n");
    const TestFirmware firmware;
    {
      const auto transport = Load();
      ASSERT_NE(transport, nullptr);
      EXPECT_EQ(transport->HostAdapterCount(), 1);
      const InquiryAnswer answer = Inquire(*transport, 0, 1);
      EXPECT_EQ(answer.outcome.transportStatus, aspi::SS_COMP);
      EXPECT_EQ(answer.identity, "ACME    COMBO DVD/RW 52X1.02        ");
      for (int page = 1; page <= kPageCount; ++page) {
        EXPECT_TRUE(WritePage(*transport, 1, firmware, page).IsGood()) << page;
      }
    }
    EXPECT_TRUE(Unloaded()) << "wnaspi32.dll was still loaded 5 s after the transport let it go";
    const std::string report = ReadFile(reportPath);
    EXPECT_TRUE(Contains(report, "drive ha=0 target=1 commands=33 pages=32 verdict=image complete and consistent\n"))
        << report;
    EXPECT_TRUE(Contains(report, "flags=0x50 length=16384 sense=14 cdb=fd075a594e4b")) << report;
    EXPECT_EQ(ReadFile(reportPath + ".ha0-t1.bin"), std::string(firmware.bytes.begin(), firmware.bytes.end()));
  }

  std::string configPath = TempPath("aspi.cfg");
  std::string reportPath = TempPath("aspi-report.txt");
  Win32LibraryLoader loader;
  Win32EventFactory events;
};

TEST_F(OurAspiLayer, WholeImageArrivesWhenRequestsEndAtOnce) { WriteWholeImage("completion immediate"); }

TEST_F(OurAspiLayer, WholeImageArrivesWhenRequestsEndOnTheLayersThread) { WriteWholeImage("completion deferred 3"); }

// Each request's own event, set after its status, is what lets it go: a
// request let go on the status alone would leave the layer setting a closed
// event, perhaps the next page's, and writing into a freed block.
TEST_F(OurAspiLayer, WholeImageArrivesWhenTheStatusIsWrittenBeforeTheEventIsSet) {
  WriteWholeImage("completion status-first 20");
}

TEST_F(OurAspiLayer, RefusedPageShowsTheLayersStatus) {
  Configure("target 0 1 05 A B C\nrefuse-page 0 1 7 04\n");
  const TestFirmware firmware;
  {
    const auto transport = Load();
    ASSERT_NE(transport, nullptr);
    for (int page = 1; page <= kPageCount; ++page) {
      const ScsiOutcome outcome = WritePage(*transport, 1, firmware, page);
      EXPECT_EQ(outcome.IsGood(), page != 7);
      EXPECT_EQ(outcome.transportStatus, page == 7 ? aspi::SS_ERR : aspi::SS_COMP);
    }
  }
  EXPECT_TRUE(Contains(ReadFile(reportPath), "pages=31 verdict=image incomplete: 31 of 32 pages accepted"));
}

TEST_F(OurAspiLayer, InquiryThatNeverEndsIsWithdrawnAfterTheWait) {
  Configure("completion deferred 1\ntarget 0 1 05 A B C\ninquiry 0 1 never\n");
  {
    const auto transport = Load(50ms);
    ASSERT_NE(transport, nullptr);
    EXPECT_EQ(Inquire(*transport, 0, 1).outcome.transportStatus, kAspiNoAnswer);
    EXPECT_EQ(Inquire(*transport, 0, 2).outcome.transportStatus, aspi::SS_NO_DEVICE);
    EXPECT_EQ(transport->KeptRequestCount(), 0u);  // the abort ended it and set its event
  }
  const std::string report = ReadFile(reportPath);
  EXPECT_TRUE(Contains(report, "request 1 exec ha=0 target=1 lun=0 flags=0x48 length=36 sense=14 "
                               "cdb=120000002400000000000000 status=0x02\n"
                               "request 2 abort ha=0 status=0x01\n"))
      << report;
}

TEST_F(OurAspiLayer, LayerThatAnswersWithoutTakingTheRequestIsNotWaitedFor) {
  Configure("untouched e0\n");
  const TestFirmware firmware;
  const auto transport = Load();
  ASSERT_NE(transport, nullptr);
  EXPECT_EQ(Inquire(*transport, 0, 0).outcome.transportStatus, aspi::SS_INVALID_SRB);
  EXPECT_EQ(WritePage(*transport, 0, firmware, 1).transportStatus, aspi::SS_INVALID_SRB);
}

TEST(NoAspiLayer, StartUpSaysTheLibraryCannotBeLoaded) {
  Win32LibraryLoader loader;
  const LayerLoad loaded = LoadLayer(loader);
  EXPECT_EQ(loaded.layer, nullptr);
  EXPECT_EQ(loaded.problem, LayerLoadProblem::LibraryNotFound);
}

}  // namespace
