#include "testing/engine/RecordingObserver.h"

void RecordingObserver::Announced(std::uint16_t imageChecksum) {
  announced_ = imageChecksum;
  announcedAt_ = events_++;
}

void RecordingObserver::PageWritten(int page, std::uint16_t pageChecksum, bool accepted) {
  pages_.push_back({page, pageChecksum, accepted});
  ++events_;
}

void RecordingObserver::Finished(int refusedPages) {
  refusedPages_ = refusedPages;
  finishedAt_ = events_++;
}
