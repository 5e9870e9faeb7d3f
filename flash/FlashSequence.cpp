#include "flash/FlashSequence.h"

#include <cassert>

#include "flash/PageWriteCommand.h"

CheckVerdict FlashSequence::Run(DriveCommandChannel& channel, std::string_view driveIdentity,
                                const std::string& filePath) {
  FirmwareImage image;
  const FirmwareCheck check = CheckFirmware(image, filePath, file_, driveIdentity);
  if (check.verdict == CheckVerdict::Accepted) WritePages(channel, image, check);
  return check.verdict;
}

void FlashSequence::WritePages(DriveCommandChannel& channel, const FirmwareImage& image, const FirmwareCheck& check) {
  assert(check.verdict == CheckVerdict::Accepted);
  observer_.Announced(check.checksum);

  // From here on nothing stops the run: a refused page is counted and the
  // next one follows as usual.
  int refusedPages = 0;
  for (int page = 1; page <= kPageCount; ++page) {
    const std::uint16_t pageChecksum = check.PageChecksum(page);
    const bool accepted = channel.WritePage(BuildPageWriteCommand(page, pageChecksum, check.checksum), image);
    if (!accepted) ++refusedPages;
    observer_.PageWritten(page, pageChecksum, accepted);
  }
  observer_.Finished(refusedPages);
}
