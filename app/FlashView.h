#pragma once
// What the main dialog's logic needs of its window: the outputs of a run and
// of discovery, the file path box, the Flash button, the drive list's mark,
// the file dialog, and the window chores it has no say in.
#include <optional>
#include <string>

#include "app/FlashReporter.h"
#include "device/windows-rules/DriveListView.h"

class FlashView : public FlashReporter, public DriveListView {
 public:
  // The first "*.bin" entry of the current folder, as a full path; nothing
  // when there is none, or the folder is too long to search.
  virtual std::optional<std::string> FirstFirmwareFile() = 0;
  // Start-up's window chores: the About item, the icons, the drive list's
  // images and column.
  virtual void PrepareWindow() = 0;
  virtual void ShowFilePath(const std::string& path) = 0;  // the file path box
  virtual void SetUpProgress(int steps) = 0;               // range 0 to steps, step 1, position 0
  virtual void EnableFlash(bool enabled) = 0;              // the Flash button
  // The text of the drive list's marked row (its selection mark), whether or
  // not that row is still selected; nothing when no row is marked.
  virtual std::optional<std::string> MarkedRowText() = 0;
  // The file-open dialog for a .bin file: the chosen full path, or nothing
  // when the user cancelled.
  virtual std::optional<std::string> ChooseFirmwareFile() = 0;
  // Around the Flash command's drive work: while it lasts, input the user
  // gives waits in the queue and does not answer the boxes, and the computer
  // stays awake.
  virtual void DriveWorkBegins() = 0;
  virtual void DriveWorkEnds() = 0;

 protected:
  ~FlashView() = default;
};
