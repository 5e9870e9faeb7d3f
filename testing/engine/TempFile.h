#pragma once
// A real file, or a folder, in the system's temporary folder, removed again
// at the end of the test.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

class TempFile {
 public:
  explicit TempFile(const std::vector<std::uint8_t>& contents, const std::string& extension = ".bin");
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  std::string Path() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

// A folder whose name ends as a firmware file's would.
class TempFolder {
 public:
  explicit TempFolder(const std::string& extension = ".bin");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::string Path() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};
