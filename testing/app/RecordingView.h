#pragma once
// The main dialog's window as the presenter sees it, in memory: it writes
// down every call in order and answers the questions it is asked (the
// current folder's first .bin, the marked row, the file dialog's choice)
// with what a test gave it.
#include <optional>
#include <string>
#include <vector>

#include "app/FlashView.h"

struct ViewBox {
  std::string caption;
  std::string text;
  MessageIcon icon = MessageIcon::None;
  bool operator==(const ViewBox&) const = default;
};

class RecordingView final : public FlashView {
 public:
  void ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) override;
  void SetLog(const std::string& text) override;
  void SetStatus(const std::string& text) override;
  void StepProgress() override;
  void InsertRow(int item, const std::string& text) override;
  std::optional<std::string> FirstFirmwareFile() override { return firstFile; }
  void PrepareWindow() override;
  void ShowFilePath(const std::string& path) override;
  void SetUpProgress(int steps) override;
  void EnableFlash(bool enabled) override;
  std::optional<std::string> MarkedRowText() override { return markedRow; }
  std::optional<std::string> ChooseFirmwareFile() override { return chosenFile; }
  void DriveWorkBegins() override;
  void DriveWorkEnds() override;

  // The answers.
  std::optional<std::string> firstFile;
  std::optional<std::string> markedRow;
  std::optional<std::string> chosenFile;

  // What the window shows now.
  const std::vector<ViewBox>& Boxes() const { return boxes_; }
  const std::vector<std::string>& Rows() const { return rows_; }
  const std::string& Log() const { return log_; }
  const std::string& Status() const { return status_; }
  const std::string& FilePath() const { return filePath_; }
  int ProgressPosition() const { return position_; }
  int ProgressRange() const { return range_; }
  bool FlashEnabled() const { return flashEnabled_; }
  bool InDriveWork() const { return inDriveWork_; }
  // Every call, one word each and its argument: "box Status|Flash Now!..",
  // "log", "status ...", "step", "row 0 ...", "prepare", "path ...",
  // "progress 32", "flash on"/"flash off", "work begins"/"work ends".
  const std::vector<std::string>& Calls() const { return calls_; }
  void ForgetCalls() { calls_.clear(); boxes_.clear(); }

 private:
  std::vector<std::string> calls_;
  std::vector<ViewBox> boxes_;
  std::vector<std::string> rows_;
  std::string log_;
  std::string status_;
  std::string filePath_;
  int position_ = 0;
  int range_ = 0;
  bool flashEnabled_ = true;  // a dialog template's button starts enabled
  bool inDriveWork_ = false;
};
