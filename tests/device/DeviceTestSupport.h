#pragma once
// What the drive-access tests share: a list that records its rows, and a
// firmware image with its 32 page commands.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "device/core/ScsiPageChannel.h"
#include "device/windows-rules/DriveDiscovery.h"
#include "device/windows-rules/DriveListView.h"
#include "flash/FirmwareImage.h"
#include "flash/PageWriteCommand.h"

struct ListRow {
  int item;
  std::string text;
  bool operator==(const ListRow&) const = default;
};

class RecordingListView final : public DriveListView {
 public:
  void InsertRow(int item, const std::string& text) override { rows.push_back({item, text}); }
  std::vector<ListRow> rows;
};

// Every outcome the front end would be handed, in order.
class RecordingOutcomes final : public InquiryOutcomeObserver, public PageOutcomeObserver {
 public:
  void InquiryAnswered(const ScsiOutcome& outcome) override { inquiries.push_back(outcome); }
  void PageSent(int page, const ScsiOutcome& outcome) override { pages.push_back({page, outcome}); }
  std::vector<ScsiOutcome> inquiries;
  std::vector<std::pair<int, ScsiOutcome>> pages;
};

// A full image of varied bytes (every page sums differently), loaded as a
// flash run loads it, with the command for each page in order.
struct TestFirmware {
  TestFirmware();
  FirmwareImage image;
  std::vector<std::uint8_t> bytes;
  std::vector<PageWriteCommand> commands;  // pages 1 to 32
};

PageWriteCommand CommandForPage(int page);  // a command naming any page number
