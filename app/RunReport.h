#pragma once
// A flash run's values in the main dialog's words: the checksum log, the
// progress bar, the status line and the boxes, exactly as the user knows them.
#include <array>
#include <cstdint>
#include <string>

#include "app/FlashReporter.h"
#include "app/FrontEndTexts.h"
#include "app/TransportMode.h"
#include "flash/FirmwareCheck.h"
#include "flash/FlashObserver.h"

// One per run: the log starts afresh with each run's first line.
class RunReport final : public FlashObserver {
 public:
  RunReport(FlashReporter& reporter, TransportMode mode);

  void Announced(std::uint16_t imageChecksum) override;
  void PageWritten(int page, std::uint16_t pageChecksum, bool accepted) override;
  void Finished(int refusedPages) override;

 private:
  void AppendLine(int length);

  FlashReporter& reporter_;
  TransportMode mode_;
  std::string log_;  // reserved once, so a page line never allocates
  // Line lengths are fixed: both checksums fit in four hex columns.
  std::array<char, kFirmwareChecksumLineLength + 1> line_{};
  static_assert(kPageChecksumLineLength <= kFirmwareChecksumLineLength);
};

// The box for a file the run refused before writing; a HEX path, and an
// accepted file, show nothing.
void ShowRefusal(MessageSink& sink, CheckVerdict verdict);
