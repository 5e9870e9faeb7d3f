#include "testing/app/RecordingReporter.h"

#include <algorithm>
#include <iterator>
#include <utility>

void RecordingReporter::ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) {
  calls_.push_back({ReportedCall::Kind::ShowMessage, text, caption, icon});
}

void RecordingReporter::SetLog(const std::string& text) {
  calls_.push_back({ReportedCall::Kind::SetLog, text, {}, MessageIcon::None});
  log_ = text;
}

void RecordingReporter::SetStatus(const std::string& text) {
  calls_.push_back({ReportedCall::Kind::SetStatus, text, {}, MessageIcon::None});
  status_ = text;
}

void RecordingReporter::StepProgress() { calls_.push_back({ReportedCall::Kind::StepProgress, {}, {}, MessageIcon::None}); }

std::vector<ReportedCall> RecordingReporter::Messages() const {
  std::vector<ReportedCall> messages;
  std::copy_if(calls_.begin(), calls_.end(), std::back_inserter(messages),
               [](const ReportedCall& call) { return call.kind == ReportedCall::Kind::ShowMessage; });
  return messages;
}

int RecordingReporter::Steps() const {
  return static_cast<int>(std::count_if(calls_.begin(), calls_.end(), [](const ReportedCall& call) {
    return call.kind == ReportedCall::Kind::StepProgress;
  }));
}

void RecordingReporter::Preset(std::string log, std::string status) {
  log_ = std::move(log);
  status_ = std::move(status);
}
