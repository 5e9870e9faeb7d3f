#include "device/AspiStatus.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "testing/engine/RecordingReporter.h"

namespace {

struct StatusCase {
  unsigned status;
  const char* text;
};

class AspiStatusText_ : public testing::TestWithParam<StatusCase> {};

TEST_P(AspiStatusText_, NamesTheStatusInAnInformationBoxCaptionedStatusMessage) {
  RecordingReporter sink;
  ShowAspiStatus(sink, static_cast<std::uint8_t>(GetParam().status));

  ASSERT_EQ(sink.Messages().size(), 1u);
  EXPECT_EQ(sink.Messages()[0].text, GetParam().text);
  EXPECT_EQ(sink.Messages()[0].caption, "Status Message");
  EXPECT_EQ(sink.Messages()[0].icon, MessageIcon::Information);
}

INSTANTIATE_TEST_SUITE_P(
    EveryStatusAndSomeThatAreNone, AspiStatusText_,
    testing::Values(StatusCase{0x00, "SRB being processed!"}, StatusCase{0x01, "SRB completed without error!"},
                    StatusCase{0x02, "SRB aborted!"}, StatusCase{0x03, "Unable to abort SRB"},
                    StatusCase{0x04, "SRB completed with error!"}, StatusCase{0x80, "Invalid ASPI command!"},
                    StatusCase{0x81, "Invalid host adapter number!"}, StatusCase{0x82, "SCSI device not installed!"},
                    StatusCase{0xE0, "Invalid parameter set in SRB!"},
                    StatusCase{0xE4, "ASPI for windows failed init!"},
                    StatusCase{0xE5, "No resources available to execute cmd!"},
                    StatusCase{0xE6, "Buffer size to big to handle!"},
                    StatusCase{0xE1, "Unknown error code = e1!"}, StatusCase{0x05, "Unknown error code = 5!"},
                    StatusCase{0xFF, "Unknown error code = ff!"}),
    [](const testing::TestParamInfo<StatusCase>& param) {
      char name[16];
      std::snprintf(name, sizeof name, "Status%02X", param.param.status);
      return std::string(name);
    });

}  // namespace
