#pragma once
// The main dialog's drive list, as discovery fills it.
#include <string>

class DriveListView {
 public:
  // One row, image 0 (the drive icon), text in column 0. The result of the
  // insertion is not looked at.
  virtual void InsertRow(int item, const std::string& text) = 0;

 protected:
  ~DriveListView() = default;
};
