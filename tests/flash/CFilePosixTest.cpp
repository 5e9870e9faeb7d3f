// What only the POSIX back end of CFile meets: files that are not regular.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <string>

#include "flash/FirmwareImage.h"
#include "framework/CFile.h"
#include "testing/engine/TempFile.h"

namespace {

// A named pipe ending in .bin would hold a blocking open until some program
// wrote to it; it is refused at once instead. The open runs on its own
// thread; should it wait, the test plays the writer to release it, and fails.
TEST(CFilePosix, NamedPipeIsRefusedWithoutWaitingForAWriter) {
  const TempFolder folder(".d");
  const std::string pipe = folder.Path() + "/firmware.bin";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);

  auto load = std::async(std::launch::async, [&pipe] {
    CFile file;
    FirmwareImage image;
    return image.LoadFromFile(pipe, file);
  });
  if (load.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
    const int writer = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0) ::close(writer);
    ADD_FAILURE() << "the open waited for a writer";
  }
  EXPECT_EQ(load.get(), LoadResult::OpenFailed);
}

TEST(CFilePosix, ASymbolicLinkToAFileOpensAsTheFile) {
  const TempFile target({1, 2, 3});
  const TempFolder folder(".d");
  const std::string link = folder.Path() + "/link.bin";
  ASSERT_EQ(::symlink(target.Path().c_str(), link.c_str()), 0);

  CFile file;
  ASSERT_TRUE(file.Open(link));
  EXPECT_EQ(file.SeekToEnd(), 3u);
}

}  // namespace
