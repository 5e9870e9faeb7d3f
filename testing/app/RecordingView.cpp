#include "testing/app/RecordingView.h"

#include <algorithm>

void RecordingView::ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) {
  calls_.push_back("box " + caption + "|" + text);
  boxes_.push_back({caption, text, icon});
}

void RecordingView::SetLog(const std::string& text) {
  calls_.push_back("log");
  log_ = text;
}

void RecordingView::SetStatus(const std::string& text) {
  calls_.push_back("status " + text);
  status_ = text;
}

void RecordingView::StepProgress() {
  calls_.push_back("step");
  // The control's own rule: a step past the top starts over from the bottom.
  position_ = position_ + 1 > range_ ? 1 : position_ + 1;
}

void RecordingView::InsertRow(int item, const std::string& text) {
  calls_.push_back("row " + std::to_string(item) + " " + text);
  // As the list view does: an index past the last row adds at the end.
  const auto at = std::min(static_cast<std::size_t>(std::max(item, 0)), rows_.size());
  rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(at), text);
}

void RecordingView::PrepareWindow() { calls_.push_back("prepare"); }

void RecordingView::ShowFilePath(const std::string& path) {
  calls_.push_back("path " + path);
  filePath_ = path;
}

void RecordingView::SetUpProgress(int steps) {
  calls_.push_back("progress " + std::to_string(steps));
  range_ = steps;
  position_ = 0;
}

void RecordingView::EnableFlash(bool enabled) {
  calls_.push_back(enabled ? "flash on" : "flash off");
  flashEnabled_ = enabled;
}

void RecordingView::DriveWorkBegins() {
  calls_.push_back("work begins");
  inDriveWork_ = true;
}

void RecordingView::DriveWorkEnds() {
  calls_.push_back("work ends");
  inDriveWork_ = false;
}
