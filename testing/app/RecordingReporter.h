#pragma once
// A FlashReporter that writes down every call, in order, and shows nothing.
#include <string>
#include <vector>

#include "app/FlashReporter.h"

struct ReportedCall {
  enum class Kind { ShowMessage, SetLog, SetStatus, StepProgress };
  Kind kind;
  std::string text;     // message, log or status text
  std::string caption;  // ShowMessage only
  MessageIcon icon = MessageIcon::None;
};

class RecordingReporter final : public FlashReporter {
 public:
  void ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) override;
  void SetLog(const std::string& text) override;
  void SetStatus(const std::string& text) override;
  void StepProgress() override;

  const std::vector<ReportedCall>& Calls() const { return calls_; }
  std::vector<ReportedCall> Messages() const;  // the ShowMessage calls alone
  int Steps() const;
  // The text of the last SetLog / SetStatus, or what the controls held before.
  const std::string& Log() const { return log_; }
  const std::string& Status() const { return status_; }

  // What the dialog's controls show before a run.
  void Preset(std::string log, std::string status);

 private:
  std::vector<ReportedCall> calls_;
  std::string log_;
  std::string status_;
};
