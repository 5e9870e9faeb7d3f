// What only the POSIX back end of CFile meets: files that are not regular.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <cstring>
#include <string>

#include "files/CFile.h"
#include "flash/FirmwareImage.h"
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

// Why an open failed, for each kind of path that does not open. The path is
// made inside a fresh folder; the folder itself is there as "dir".
struct ReasonCase {
  const char* name;
  std::function<std::string(const std::string& dir)> make;  // returns the path to open
  OpenFailure failure;
};

class CFileOpenFailure : public testing::TestWithParam<ReasonCase> {};

TEST_P(CFileOpenFailure, SaysWhy) {
  const TempFolder folder(".d");
  const std::string path = GetParam().make(folder.Path());
  CFile file;
  EXPECT_FALSE(file.Open(path));
  EXPECT_EQ(file.LastOpenFailure().kind, GetParam().failure.kind);
  EXPECT_EQ(file.LastOpenFailure().systemError, GetParam().failure.systemError);

  // A later open that succeeds leaves no reason behind.
  const TempFile good({1});
  ASSERT_TRUE(file.Open(good.Path()));
  EXPECT_EQ(file.LastOpenFailure(), OpenFailure{});
}

std::string Made(const std::string& path, int result) {
  EXPECT_EQ(result, 0) << path << ": " << std::strerror(errno);
  return path;
}

std::string Folder(const std::string& dir, mode_t mode) {
  const std::string path = dir + "/fw.bin";
  return Made(path, ::mkdir(path.c_str(), mode));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, CFileOpenFailure,
    testing::Values(
        ReasonCase{"Missing", [](const std::string& dir) { return dir + "/missing.bin"; },
                   {OpenFailureKind::NoSuchFile, ENOENT}},
        ReasonCase{"UnderAFile",
                   [](const std::string& dir) {
                     const std::string file = dir + "/file";
                     Made(file, ::close(::open(file.c_str(), O_CREAT | O_WRONLY, 0600)));
                     return file + "/fw.bin";
                   },
                   {OpenFailureKind::NoSuchFile, ENOTDIR}},
        ReasonCase{"Folder", [](const std::string& dir) { return Folder(dir, 0700); }, {OpenFailureKind::Folder, 0}},
        ReasonCase{"UnreadableFolder", [](const std::string& dir) { return Folder(dir, 0); },
                   {OpenFailureKind::Folder, 0}},
        ReasonCase{"NamedPipe",
                   [](const std::string& dir) {
                     return Made(dir + "/fw.bin", ::mkfifo((dir + "/fw.bin").c_str(), 0600));
                   },
                   {OpenFailureKind::NotRegularFile, 0}},
        ReasonCase{"Device", [](const std::string&) { return std::string("/dev/null"); },
                   {OpenFailureKind::NotRegularFile, 0}},
        ReasonCase{"LinkToNowhere",
                   [](const std::string& dir) {
                     return Made(dir + "/fw.bin", ::symlink((dir + "/gone.bin").c_str(), (dir + "/fw.bin").c_str()));
                   },
                   {OpenFailureKind::NoSuchFile, ENOENT}}),
    [](const testing::TestParamInfo<ReasonCase>& row) { return std::string(row.param.name); });

// A file that may not be read. Root reads every file, so as root the open is
// tried by a child that has become nobody first.
TEST(CFilePosix, AFileThatMayNotBeReadIsNoPermissionWithTheSystemsError) {
  const TempFolder folder(".d");
  ASSERT_EQ(::chmod(folder.Path().c_str(), 0755), 0);
  const std::string path = folder.Path() + "/fw.bin";
  ASSERT_EQ(::close(::open(path.c_str(), O_CREAT | O_WRONLY, 0)), 0);
  const auto tryOpen = [&path] {
    CFile file;
    const bool opened = file.Open(path);
    return !opened && file.LastOpenFailure() == OpenFailure{OpenFailureKind::NoPermission, EACCES};
  };
  if (::geteuid() != 0) {
    EXPECT_TRUE(tryOpen());
    return;
  }
  constexpr uid_t kNobody = 65534;
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const bool dropped = ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
    ::_exit(dropped ? (tryOpen() ? 0 : 1) : 2);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: another reason, 2: could not become nobody";
}

}  // namespace
