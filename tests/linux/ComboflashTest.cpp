#include <gtest/gtest.h>

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <sstream>
#include <sys/stat.h>
#include <string>
#include <utility>
#include <vector>

#include "cli/Comboflash.h"
#include "files/CFile.h"
#include "testing/engine/FakeFirmwareFile.h"
#include "testing/engine/ImageFixtures.h"
#include "testing/engine/TempFile.h"
#include "testing/linux/EmulatedSgNodes.h"
#include "testing/linux/SysfsFixture.h"

namespace {

InquiryData TestDrive() { return {0x05, "ACME", "COMBO DVD/RW 52X", "1.02"}; }

// Where the fixture machine's SCSI devices sit.
constexpr const char* kDrivePath = "pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0";
constexpr const char* kDiskPath = "pci0000:00/0000:00:1f.2/ata1/host0/target0:0:0/0:0:0:0";
constexpr unsigned kSdMajor = 8, kVirtioMajor = 254;

// The drive's key at offset 0, zeros after it: the image and page 1 sum to
// 0x05bb, every other page to 0.
std::vector<std::uint8_t> KeyThenZeros(std::size_t size = 1000) {
  std::vector<std::uint8_t> contents(size, 0);
  std::copy(kTestKey.begin(), kTestKey.end(), contents.begin());
  return contents;
}

class FakeInhibitor final : public SleepInhibitor {
 public:
  std::optional<std::string> Hold() override {
    ++holds;
    return failure;
  }
  void Release() override { ++releases; }
  std::optional<std::string> failure;
  int holds = 0;
  int releases = 0;
};

class FakeInterruptions final : public InterruptionHold {
 public:
  explicit FakeInterruptions(const EmulatedSgNodes& kernel) : kernel_(kernel) {}
  void Begin() override { ioctlsAtBegin = kernel_.IoctlCount(); }
  int End() override {
    ioctlsAtEnd = kernel_.IoctlCount();
    return arrived;
  }
  void Deliver(int signal) override { delivered.push_back(signal); }
  int arrived = 0;  // what "arrives" while pages are written
  int ioctlsAtBegin = -1;
  int ioctlsAtEnd = -1;
  std::vector<int> delivered;

 private:
  const EmulatedSgNodes& kernel_;
};

struct Result {
  int status;
  std::string out;
  std::string err;
};

class Comboflash : public testing::Test {
 protected:
  Comboflash() { AttachOpticalDrive(kernel, sysfs, drive, 0, kDrivePath); }

  Result Run(std::vector<std::string> words, const std::string& input = "") { return RunWith(words, inhibitor, input); }

  Result RunWith(std::vector<std::string> words, SleepInhibitor& sleepInhibitor, const std::string& input = "") {
    std::ostringstream out, err;
    std::istringstream in(input);
    CliContext context{.out = outTo ? *outTo : out,
                       .err = err,
                       .in = in,
                       .inputIsTerminal = terminal,
                       .outputIsTerminal = terminal,
                       .nodes = *nodes,
                       .file = *fileLayer,
                       .inhibitor = sleepInhibitor,
                       .interruptions = interruptions,
                       .rawIo = rawIo,
                       .sysfsRoot = sysfs.Root(),
                       .devRoot = "/dev",
                       .powerSupplyRoot = sysfs.PowerSupplyRoot()};
    const int status = RunComboflash(words, context);
    return {status, out.str(), err.str()};
  }

  int PageWritesSent() const {
    return static_cast<int>(std::count_if(drive.Commands().begin(), drive.Commands().end(),
                                          [](const ReceivedCommand& command) { return command.cdb[0] == 0xFD; }));
  }

  EmulatedDrive drive{TestDrive()};
  EmulatedSgNodes kernel;
  DeviceNodes* nodes = &kernel;  // what the commands reach the drives through
  std::ostream* outTo = nullptr;  // where standard output goes, if not to the result
  SysfsFixture sysfs;
  CFile file;
  FirmwareFile* fileLayer = &file;  // what the firmware file is read through
  FakeInhibitor inhibitor;
  FakeInterruptions interruptions{kernel};
  bool terminal = false;
  bool rawIo = true;
  TempFile firmware{KeyThenZeros()};
};

std::string PageLines(const std::string& written7 = "written") {
  std::string lines;
  for (int page = 1; page <= 32; ++page) {
    lines += "Page-" + std::string(page < 10 ? " " : "") + std::to_string(page) + " Checksum: " +
             (page == 1 ? " 5bb" : "   0") + "  " + (page == 7 ? written7 : "written") + "\n";
  }
  return lines;
}

TEST_F(Comboflash, HelpListsTheCommandsOptionsAndEveryExitStatus) {
  const Result result = Run({"--help"});
  EXPECT_EQ(result.status, 0);
  for (const char* text : {"comboflash list [--json]", "comboflash check FILE [--drive DEV | --identity ID] [--json]",
                           "comboflash flash FILE --drive DEV [--yes] [--dry-run] [--force] [--json]",
                           "comboflash help [COMMAND]", "--identity ID", "CAP_SYS_RAWIO", "cdrom", "Exit status:"}) {
    EXPECT_NE(result.out.find(text), std::string::npos) << text;
  }
  for (int code = 0; code <= 8; ++code) {
    EXPECT_NE(result.out.find("\n  " + std::to_string(code) + "  "), std::string::npos) << code;
  }
  for (const std::vector<std::string>& words : std::vector<std::vector<std::string>>{
           {"flash", "--help"}, {"help"}, {"help", "flash"}, {"help", "check"}, {"help", "list"}}) {
    const Result asked = Run(words);
    EXPECT_EQ(asked.status, 0) << words.back();
    EXPECT_EQ(asked.out, result.out) << words.back();
    EXPECT_EQ(asked.err, "") << words.back();
  }
}

// Both name the drive's two nodes and a link as accepted for --drive.
TEST_F(Comboflash, HelpAndManPageNameEveryKindOfDriveNameAccepted) {
  std::ifstream manPage(COMBOFLASH_MAN_PAGE);
  const std::string man{std::istreambuf_iterator<char>(manPage), std::istreambuf_iterator<char>()};
  const std::string help = Run({"--help"}).out;
  for (const char* name : {"/dev/srN", "/dev/sgN", "/dev/cdrom", "sr0", "sg0"}) {
    EXPECT_NE(help.find(name), std::string::npos) << name;
    EXPECT_NE(man.find(name), std::string::npos) << name;
  }
}

// The version is the one the man page's title line names, and asking for it
// works whatever else the command line holds.
TEST_F(Comboflash, VersionIsTheOneTheManPageNames) {
  std::ifstream manPage(COMBOFLASH_MAN_PAGE);
  std::string title;
  std::getline(manPage, title);
  const std::string marker = "\"ComboFlash ";
  const std::size_t start = title.find(marker);
  ASSERT_TRUE(title.starts_with(".TH COMBOFLASH 1 ") && start != std::string::npos) << title;
  const std::size_t end = title.find('"', start + marker.size());
  ASSERT_NE(end, std::string::npos) << title;
  const std::string version = title.substr(start + marker.size(), end - start - marker.size());
  ASSERT_EQ(std::count(version.begin(), version.end(), '.'), 2) << title;

  const Result result = Run({"--version"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "comboflash " + version + "\n");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(Run({"flash", "x.bin", "--version", "--bogus"}).out, result.out);
  EXPECT_TRUE(drive.Commands().empty());
}

struct UsageCase {
  const char* name;
  std::vector<std::string> words;
  const char* problem;
};

class Usage : public Comboflash, public testing::WithParamInterface<UsageCase> {};

TEST_P(Usage, IsRefusedWithWhatIsWrongAndStatusTwo) {
  const Result result = Run(GetParam().words);
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "comboflash: " + std::string(GetParam().problem) + "\nTry 'comboflash --help'.\n");
  EXPECT_EQ(result.out, "");
  EXPECT_TRUE(drive.Commands().empty());
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, Usage,
    testing::Values(UsageCase{"Nothing", {}, "no command given"},
                    UsageCase{"UnknownCommand", {"erase"}, "unknown command 'erase'"},
                    UsageCase{"NoDrive", {"flash", "a.bin"}, "flash needs --drive DEV"},
                    UsageCase{"NoFile", {"flash", "--drive", "sr0"}, "flash needs the firmware FILE"},
                    UsageCase{"DriveWithoutValue", {"check", "a.bin", "--drive"}, "--drive needs a device, such as /dev/sr0"},
                    UsageCase{"YesForCheck", {"check", "a.bin", "--drive", "sr0", "--yes"}, "unknown option '--yes' for check"},
                    UsageCase{"JsonFlashWithoutYes", {"flash", "a.bin", "--drive", "sr0", "--json"},
                              "flash --json needs --yes: there is no question asked in JSON"},
                    UsageCase{"JsonDryRun", {"flash", "a.bin", "--drive", "sr0", "--json", "--yes", "--dry-run"},
                              "flash --json does not go with --dry-run, which prints the commands as text"},
                    UsageCase{"IdentityForFlash", {"flash", "a.bin", "--drive", "sr0", "--identity", "x"},
                              "unknown option '--identity' for flash"},
                    UsageCase{"IdentityAndDrive", {"check", "a.bin", "--drive", "sr0", "--identity=ACME    COMBO DVD/RW 52X"},
                              "give --drive or --identity, not both: with --drive the drive's own identity is matched"},
                    UsageCase{"IdentityWithoutValue", {"check", "a.bin", "--identity"},
                              "--identity needs the drive's vendor and product, such as \"ACME    COMBO DVD/RW 52X\""},
                    UsageCase{"IdentityOneShort", {"check", "a.bin", "--identity", "ACME    COMBO DVD/RW 52"},
                              "--identity 'ACME    COMBO DVD/RW 52' is no drive identity: give the 8 characters of vendor "
                              "and the 16 of product, blanks included, as 'comboflash list' shows them (24 characters, "
                              "or 25 with the blank between)"},
                    UsageCase{"IdentityWithTheRevision", {"check", "a.bin", "--identity", "ACME     COMBO DVD/RW 52X 1.02"},
                              "--identity 'ACME     COMBO DVD/RW 52X 1.02' is no drive identity: give the 8 characters of "
                              "vendor and the 16 of product, blanks included, as 'comboflash list' shows them (24 "
                              "characters, or 25 with the blank between)"},
                    UsageCase{"IdentityOf25WithoutTheBlank", {"check", "a.bin", "--identity", "ACMEXXXXXCOMBO DVD/RW 52X"},
                              "--identity 'ACMEXXXXXCOMBO DVD/RW 52X' is no drive identity: give the 8 characters of "
                              "vendor and the 16 of product, blanks included, as 'comboflash list' shows them (24 "
                              "characters, or 25 with the blank between)"},
                    UsageCase{"DriveForList", {"list", "--drive", "sr0"}, "unknown option '--drive' for list"},
                    UsageCase{"TwoFiles", {"flash", "a.bin", "b.bin", "--drive", "sr0"}, "unexpected argument 'b.bin'"},
                    UsageCase{"TwoDrives", {"flash", "a.bin", "--drive", "sr0", "--drive=sr1", "--yes"},
                              "--drive given twice, as 'sr0' and 'sr1': name one drive"},
                    UsageCase{"EmptyDriveAfterEquals", {"check", "a.bin", "--drive="}, "--drive needs a device, such as /dev/sr0"}),
    [](const testing::TestParamInfo<UsageCase>& row) { return std::string(row.param.name); });

TEST_F(Comboflash, ListShowsEachDriveInOrderAndWhyOneCannotBeAsked) {
  EmulatedDrive second{{0x05, "OTHER", "DVD-ROM", "9.99"}};
  EmulatedDrive third{TestDrive()};
  AttachOpticalDrive(kernel, sysfs, second, 1, "pci0000:00/0000:00:1f.2/ata2/host1/target1:0:0/1:0:0:0");
  AttachOpticalDrive(kernel, sysfs, third, 2, "platform/host3/target3:0:0/3:0:0:0");
  kernel.FailOpen("/dev/sr2", EACCES);
  const Result result = Run({"list"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out,
            "/dev/sr0  usb  ACME     COMBO DVD/RW 52X 1.02\n"
            "/dev/sr1  ata  OTHER    DVD-ROM          9.99\n"
            "/dev/sr2  scsi  cannot be asked: no read access to /dev/sr2: join the group that owns it, usually cdrom "
            "(sudo usermod -aG cdrom $USER, then log in again), or run as root.\n");
  EXPECT_EQ(result.err, "");
}

// A drive is not trusted with the terminal: what it says is shown as text,
// its control bytes as '?', while the image is still matched byte for byte.
TEST_F(Comboflash, ADrivesControlBytesReachNoTerminal) {
  EmulatedDrive hostile{{0x05, "ACME\x9b", "EVIL\x1b[2J DRIVE", "1\x07\x1b" "0"}};
  EmulatedSgNodes hostileKernel;
  hostileKernel.AddDrive("/dev/sr0", hostile);
  nodes = &hostileKernel;
  std::vector<std::uint8_t> contents(1000, 0);
  const std::string key = "ACME\x9b   EVIL\x1b[2J DRIVE  ";
  std::copy(key.begin(), key.end(), contents.begin());
  TempFile matching{contents};

  std::string text;
  for (const auto& [words, status] : std::vector<std::pair<std::vector<std::string>, int>>{
           {{"list"}, 0},
           {{"check", matching.Path(), "--drive", "sr0"}, 0},
           {{"check", firmware.Path(), "--drive", "sr0"}, 5},
           {{"list", "--json"}, 0}}) {
    const Result result = Run(words);
    EXPECT_EQ(result.status, status) << words[0];
    text += result.out + result.err;
  }
  EXPECT_EQ(text.find('\x1b'), std::string::npos) << text;
  EXPECT_EQ(text.find('\x9b'), std::string::npos) << text;
  EXPECT_NE(text.find("/dev/sr0  usb  ACME?    EVIL?[2J DRIVE   1 ?0\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Identity: \"ACME?   EVIL?[2J DRIVE  \" found in the image\n"), std::string::npos) << text;
  EXPECT_NE(text.find("identity \"ACME?   EVIL?[2J DRIVE  \" (vendor and product)"), std::string::npos) << text;
  EXPECT_NE(text.find("\"vendor\":\"ACME\\u009b   \",\"product\":\"EVIL\\u001b[2J DRIVE  \""), std::string::npos) << text;
}

TEST_F(Comboflash, ListAsJson) {
  EmulatedDrive second{TestDrive()};
  AttachOpticalDrive(kernel, sysfs, second, 1, "pci0000:00/0000:00:1f.2/ata2/host1/target1:0:0/1:0:0:0");
  second.Behaviour().refuseInquiry = true;
  const Result result = Run({"list", "--json"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out,
            "{\"drives\":[{\"device\":\"/dev/sr0\",\"bus\":\"usb\",\"vendor\":\"ACME    \",\"product\":\"COMBO DVD/RW "
            "52X\",\"revision\":\"1.02\",\"error\":null},{\"device\":\"/dev/sr1\",\"bus\":\"ata\",\"vendor\":null,"
            "\"product\":null,\"revision\":null,\"error\":\"/dev/sr1 did not answer the identity inquiry: the drive "
            "answered status 0x02, sense key 0x5, ASC 0x24, ASCQ 0x00. Check the drive's cable or enclosure and try "
            "again.\"}]}\n");
}

TEST_F(Comboflash, ListWithoutDrivesSaysSoAndWithoutSysfsFails) {
  std::filesystem::remove(sysfs.Root() / "class" / "block" / "sr0");
  Result result = Run({"list"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "No optical drive found.\n");
  EXPECT_EQ(Run({"list", "--json"}).out, "{\"drives\":[]}\n");

  std::filesystem::remove_all(sysfs.Root() / "class" / "block");
  result = Run({"list"});
  EXPECT_EQ(result.status, 3);
  EXPECT_NE(result.err.find("cannot read the list of block devices"), std::string::npos);
}

std::string ChecksumLines() {
  std::string lines = "Firmware Checksum:  5bb\n";
  for (int page = 1; page <= 32; ++page) {
    lines += "Page-" + std::string(page < 10 ? " " : "") + std::to_string(page) + " Checksum: " +
             (page == 1 ? " 5bb" : "   0") + "\n";
  }
  return lines;
}

// The pages of check --json for the test image, each with what follows its checksum.
std::string JsonPages(const std::function<std::string(int page)>& after = [](int) { return std::string(); }) {
  std::string pages;
  for (int page = 1; page <= 32; ++page) {
    pages += std::string(page == 1 ? "" : ",") + "{\"page\":" + std::to_string(page) +
             ",\"checksum\":" + (page == 1 ? "1467" : "0") + after(page) + "}";
  }
  return "[" + pages + "]";
}

TEST_F(Comboflash, CheckShowsTheChecksumsAsTheDialogLogsThemAndSendsOnlyTheInquiry) {
  const Result result = Run({"check", firmware.Path(), "--drive", "sr0"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "Drive:    /dev/sr0  ACME     COMBO DVD/RW 52X 1.02\nFile:     " + firmware.Path() +
                            "\nIdentity: \"ACME    COMBO DVD/RW 52X\" found in the image\n" + ChecksumLines() +
                            "The file would be flashed to this drive.\n");
  ASSERT_EQ(drive.Commands().size(), 1u);
  EXPECT_EQ(drive.Commands()[0].cdb[0], 0x12);
  EXPECT_EQ(kernel.Opens()[0].flags & O_ACCMODE, O_RDONLY);
}

TEST_F(Comboflash, CheckAsJson) {
  const Result result = Run({"check", firmware.Path(), "--drive", "/dev/sr0", "--json"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "{\"drive\":\"/dev/sr0\",\"file\":\"" + firmware.Path() +
                            "\",\"vendor\":\"ACME    \",\"product\":\"COMBO DVD/RW 52X\",\"revision\":\"1.02\","
                            "\"identity\":\"ACME    COMBO DVD/RW 52X\",\"accepted\":true,\"verdict\":\"accepted\","
                            "\"reason\":null,\"error\":null,\"firmwareChecksum\":1467,\"pages\":" + JsonPages() + "}\n");
}

TEST_F(Comboflash, CheckAsJsonOfARefusedDriveAndFile) {
  Result result = Run({"check", firmware.Path(), "--drive", "sr5", "--json"});
  EXPECT_EQ(result.status, 3);
  EXPECT_NE(result.out.find("\"accepted\":false,\"verdict\":\"drive-refused\",\"reason\":null,\"error\":\"no such device: /dev/sr5."),
            std::string::npos) << result.out;
  TempFile other(ContentsWith(1000, "SOMEONE ELSE", 0));
  result = Run({"check", other.Path(), "--drive", "sr0", "--json"});
  EXPECT_EQ(result.status, 5);
  EXPECT_NE(result.out.find("\"accepted\":false,\"verdict\":\"mismatch\""), std::string::npos) << result.out;
}

// Each verdict on a refused file, by check and by flash: the reason, the
// name --json gives it, and the exit status. Why a file does not open is
// FileNotOpened's.
struct FileCase {
  const char* name;
  std::vector<std::uint8_t> contents;
  const char* extension;
  bool readFails;  // read through an in-memory file layer whose reads fail
  int status;
  const char* verdict;  // --json's
  const char* reason;   // after "comboflash: <path>"
};

void PrintTo(const FileCase& row, std::ostream* out) { *out << row.name; }

class FileRefused : public Comboflash, public testing::WithParamInterface<FileCase> {};

TEST_P(FileRefused, ByCheckAndFlashWithTheReasonVerdictAndStatusAndNoPageSent) {
  const FileCase& row = GetParam();
  TempFile refused(row.contents, row.extension);
  for (const std::string command : {"check", "flash"}) {
    for (const bool json : {false, true}) {
      FakeFirmwareFile failing(row.contents, {.read = true});
      if (row.readFails) fileLayer = &failing;
      std::vector<std::string> words = {command, refused.Path(), "--drive", "sr0"};
      if (command == "flash") words.push_back("--yes");
      if (json) words.push_back("--json");
      const Result result = Run(words);
      fileLayer = &file;
      EXPECT_EQ(result.status, row.status) << command << json;
      if (json) {
        EXPECT_NE(result.out.find(",\"accepted\":false,\"verdict\":\"" + std::string(row.verdict) + "\","),
                  std::string::npos) << result.out;
      } else {
        EXPECT_NE(result.err.find(row.reason), std::string::npos) << command << ": " << result.err;
      }
    }
  }
  EXPECT_EQ(PageWritesSent(), 0);
  // A file refused by its own rules is refused before the drive is opened.
  if (row.status == 4) {
    EXPECT_TRUE(kernel.Opens().empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, FileRefused,
    testing::Values(
        FileCase{"Hex", KeyThenZeros(), ".hex", false, 4, "hex-file",
                 ": a .hex file is not flashed; give the raw .bin image."},
        FileCase{"OtherName", KeyThenZeros(), ".img", false, 4, "not-bin-file", ": not a .bin file."},
        FileCase{"Empty", {}, ".bin", false, 4, "empty", ": the firmware file is empty."},
        FileCase{"TooLarge", KeyThenZeros(524289), ".bin", false, 4, "too-large",
                 ": the firmware file is larger than 512 KiB"},
        FileCase{"ReadFails", KeyThenZeros(), ".bin", true, 4, "read-failed",
                 ": the firmware file could not be read whole; try again or copy it anew."},
        FileCase{"Mismatch", ContentsWith(1000, "SOMEONE ELSE", 0), ".bin", false, 5, "mismatch",
                 "This firmware does not match your drive! The image does not carry the drive's identity \"ACME    "
                 "COMBO DVD/RW 52X\" (vendor and product). Use a firmware file made for this drive."}),
    [](const testing::TestParamInfo<FileCase>& row) { return std::string(row.param.name); });

// Why the file did not open, in words and, for --json, as a reason; and
// before the drive is asked, so even with no drive there it is the file
// that is refused.
struct OpenCase {
  const char* name;
  std::function<std::string(const std::string& folder)> make;  // the path; null: through a file layer failing with fake
  OpenFailure fake;
  const char* says;    // after "<path>: the firmware file cannot be opened: "
  const char* reason;  // --json's
};

class FileNotOpened : public Comboflash, public testing::WithParamInterface<OpenCase> {};

TEST_P(FileNotOpened, IsRefusedWithWhyBeforeTheDriveIsAsked) {
  const OpenCase& row = GetParam();
  const TempFolder folder(".d");
  std::string path = folder.Path() + "/fw.bin";
  FakeFirmwareFile failing({}, {.open = true, .openFailure = row.fake});
  if (row.make) {
    path = row.make(folder.Path());
  } else {
    fileLayer = &failing;
  }
  const std::string refusal = path + ": the firmware file cannot be opened: " + row.says;
  for (const std::string command : {"check", "flash"}) {
    for (const bool json : {false, true}) {
      std::vector<std::string> words = {command, path, "--drive", "sr7"};  // no such drive
      if (command == "flash") words.push_back("--yes");
      if (json) words.push_back("--json");
      const Result result = Run(words);
      EXPECT_EQ(result.status, 4) << command << json;
      if (json) {
        EXPECT_NE(result.out.find("{\"drive\":\"/dev/sr7\",\"file\":\"" + path + "\",\"vendor\":null,"),
                  std::string::npos) << result.out;
        EXPECT_NE(result.out.find(",\"accepted\":false,\"verdict\":\"open-failed\",\"reason\":\"" +
                                  std::string(row.reason) + "\",\"error\":\"" + refusal + "\","),
                  std::string::npos) << result.out;
        EXPECT_EQ(result.err, "");
      } else {
        EXPECT_EQ(result.out, "File:     " + path + "\n");
        EXPECT_EQ(result.err, "comboflash: " + refusal + "\n");
      }
    }
  }
  EXPECT_TRUE(kernel.Opens().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, FileNotOpened,
    testing::Values(
        OpenCase{"NoSuchFile", [](const std::string& folder) { return folder + "/missing.bin"; }, {},
                 "no such file (No such file or directory). Check the path.", "no-such-file"},
        OpenCase{"Folder",
                 [](const std::string& folder) {
                   std::filesystem::create_directory(folder + "/fw.bin");
                   return folder + "/fw.bin";
                 },
                 {}, "it is a folder. Give the path of the .bin file in it.", "folder"},
        OpenCase{"NamedPipe",
                 [](const std::string& folder) {
                   EXPECT_EQ(::mkfifo((folder + "/fw.bin").c_str(), 0600), 0);
                   return folder + "/fw.bin";
                 },
                 {},
                 "it is not a regular file but a named pipe, a device or a socket. The image is measured before it "
                 "is sent: save it to a file and give that file.",
                 "not-regular-file"},
        OpenCase{"NoPermission", nullptr, {OpenFailureKind::NoPermission, EACCES},
                 "no permission (Permission denied). Check that you may read it (ls -l).", "no-permission"},
        OpenCase{"OtherError", nullptr, {OpenFailureKind::Other, EIO}, "Input/output error.", "system-error"}),
    [](const testing::TestParamInfo<OpenCase>& row) { return std::string(row.param.name); });

TEST_F(Comboflash, CheckWithoutADriveAppliesTheFileRulesAndSaysTheIdentityWasNotMatched) {
  Result result = Run({"check", firmware.Path()});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "File:     " + firmware.Path() +
                            "\nIdentity: not matched against a drive (give --drive DEV, or --identity with the "
                            "drive's vendor and product)\n" + ChecksumLines() +
                            "The file passes the file rules; whether it fits a drive was not checked.\n");
  EXPECT_EQ(result.err, "");

  result = Run({"check", firmware.Path(), "--json"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "{\"drive\":null,\"file\":\"" + firmware.Path() +
                            "\",\"vendor\":null,\"product\":null,\"revision\":null,\"identity\":null,"
                            "\"accepted\":false,\"verdict\":\"identity-not-checked\",\"reason\":null,\"error\":null,"
                            "\"firmwareChecksum\":1467,\"pages\":" + JsonPages() + "}\n");

  // The file's faults are the same as with a drive.
  TempFile empty({});
  result = Run({"check", empty.Path()});
  EXPECT_EQ(result.status, 4);
  EXPECT_EQ(result.err, "comboflash: " + empty.Path() + ": the firmware file is empty.\n");
  EXPECT_TRUE(kernel.Opens().empty());
}

struct IdentityCase {
  const char* name;
  const char* given;
  bool carried;
};

class CheckAgainstAnIdentity : public Comboflash, public testing::WithParamInterface<IdentityCase> {};

TEST_P(CheckAgainstAnIdentity, MatchesItWithoutADrive) {
  const IdentityCase& row = GetParam();
  const std::string key = std::string(row.given).size() == 24
                              ? std::string(row.given)
                              : std::string(row.given).substr(0, 8) + std::string(row.given).substr(9);
  Result result = Run({"check", firmware.Path(), "--identity", row.given});
  EXPECT_EQ(result.status, row.carried ? 0 : 5) << result.err;
  if (row.carried) {
    EXPECT_EQ(result.out, "File:     " + firmware.Path() + "\nIdentity: \"" + key + "\" found in the image\n" +
                              ChecksumLines() + "The file carries this identity; no drive was asked.\n");
  } else {
    EXPECT_EQ(result.err, "comboflash: This firmware does not match your drive! The image does not carry the "
                          "drive's identity \"" + key + "\" (vendor and product). Use a firmware file made for this drive.\n");
  }

  result = Run({"check", firmware.Path(), "--identity=" + std::string(row.given), "--json"});
  EXPECT_EQ(result.status, row.carried ? 0 : 5);
  EXPECT_NE(result.out.find("\"identity\":\"" + key + "\",\"accepted\":" + (row.carried ? "true" : "false") +
                            ",\"verdict\":\"" + (row.carried ? "accepted" : "mismatch") + "\""),
            std::string::npos) << result.out;
  EXPECT_NE(result.out.find("\"firmwareChecksum\":1467,"), std::string::npos) << result.out;
  EXPECT_TRUE(kernel.Opens().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Identities, CheckAgainstAnIdentity,
    testing::Values(IdentityCase{"TheKey", "ACME    COMBO DVD/RW 52X", true},
                    IdentityCase{"AsListShowsIt", "ACME     COMBO DVD/RW 52X", true},
                    IdentityCase{"OneLetterInOtherCase", "ACME    COMBO DVD/rW 52X", false},
                    IdentityCase{"ABlankMoved", "ACME   COMBO DVD/RW 52X ", false},
                    IdentityCase{"AnotherDrive", "OTHER    DVD-ROM         ", false}),
    [](const testing::TestParamInfo<IdentityCase>& row) { return std::string(row.param.name); });

struct DriveCase {
  const char* name;
  const char* drive;
  const char* failing;  // the node whose opens fail
  int openError;        // 0: none
  bool openErrorWritingOnly;
  const char* command;  // check, flash (with --yes), or dry-run (flash --dry-run)
  const char* reason;
};

class DriveRefused : public Comboflash, public testing::WithParamInterface<DriveCase> {
 protected:
  DriveRefused() {
    sysfs.AddScsiDevice(kDiskPath, 0, {{"sda", NodeStatus::Kind::Block, kSdMajor, 0}, {"sg1", NodeStatus::Kind::Character, kSgMajor, 1}});
    kernel.AddDrive("/dev/sda", disk, NodeStatus::Kind::Block, kSdMajor, 0);
    sysfs.AddOtherDevice("pci0000:00/0000:00:04.0/virtio1", "virtio", {"vda", NodeStatus::Kind::Block, kVirtioMajor, 0});
    kernel.AddOtherNode("/dev/vda", NodeStatus::Kind::Block, kVirtioMajor, 0);
    sysfs.AddOtherDevice("virtual/mem", "", {"null", NodeStatus::Kind::Character, 1, 3});
    kernel.AddOtherNode("/dev/null", NodeStatus::Kind::Character, 1, 3);
  }
  EmulatedDrive disk{{0x00, "ACME", "HARD DISK", "0001"}};
};

TEST_P(DriveRefused, WithTheReasonAndWhatToDo) {
  const DriveCase& row = GetParam();
  if (row.openError != 0) kernel.FailOpen(row.failing, row.openError, row.openErrorWritingOnly);
  const std::string command = row.command;
  std::vector<std::string> words = {command == "dry-run" ? "flash" : command, firmware.Path(), "--drive", row.drive};
  if (command == "flash") words.push_back("--yes");
  if (command == "dry-run") words.push_back("--dry-run");
  const Result result = Run(words);
  EXPECT_EQ(result.status, 3);
  EXPECT_EQ(result.err, "comboflash: " + std::string(row.reason) + "\n");
  EXPECT_EQ(PageWritesSent(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Drives, DriveRefused,
    testing::Values(
        DriveCase{"NoSuchDevice", "sr7", "", 0, false, "check",
                  "no such device: /dev/sr7. 'comboflash list' shows the optical drives."},
        DriveCase{"Disk", "/dev/sda", "", 0, false, "flash",
                  "/dev/sda is not an optical drive: it answers as SCSI device type 0. 'comboflash list' shows the "
                  "optical drives."},
        // Mounted, a disk's exclusive open is refused: what it is comes first.
        DriveCase{"MountedDisk", "/dev/sda", "/dev/sda", EBUSY, false, "flash",
                  "/dev/sda is not an optical drive: it answers as SCSI device type 0. 'comboflash list' shows the "
                  "optical drives."},
        DriveCase{"MountedVirtioDisk", "/dev/vda", "/dev/vda", EBUSY, false, "flash",
                  "/dev/vda is not an optical drive: it takes no SCSI commands."},
        DriveCase{"NoScsi", "/dev/null", "", 0, false, "check", "/dev/null is not an optical drive: it takes no SCSI commands."},
        DriveCase{"NoReadAccess", "sr0", "/dev/sr0", EACCES, false, "check",
                  "no read access to /dev/sr0: join the group that owns it, usually cdrom (sudo usermod -aG cdrom "
                  "$USER, then log in again), or run as root."},
        DriveCase{"NoReadAccessForADryRun", "sr0", "/dev/sr0", EACCES, false, "dry-run",
                  "no read access to /dev/sr0: join the group that owns it, usually cdrom (sudo usermod -aG cdrom "
                  "$USER, then log in again), or run as root."},
        // The group would not do: writing needs CAP_SYS_RAWIO.
        DriveCase{"NoReadWriteAccess", "sr0", "/dev/sr0", EACCES, true, "flash",
                  "no read-write access to /dev/sr0: writing firmware needs root, since Linux passes the drive's "
                  "vendor command only from a process with CAP_SYS_RAWIO. Run comboflash as root (sudo comboflash "
                  "flash ...)."},
        DriveCase{"NoReadWriteAccessToTheGenericNode", "sr0", "/dev/sg0", EACCES, true, "flash",
                  "no read-write access to /dev/sg0: writing firmware needs root, since Linux passes the drive's "
                  "vendor command only from a process with CAP_SYS_RAWIO. Run comboflash as root (sudo comboflash "
                  "flash ...)."},
        DriveCase{"Mounted", "sr0", "/dev/sr0", EBUSY, true, "flash",
                  "/dev/sr0 is in use: a disc from it is mounted, or another program holds the drive. Unmount the "
                  "disc (umount /dev/sr0) or close that program, then try again."},
        DriveCase{"MountedNamedByItsGenericNode", "/dev/sg0", "/dev/sr0", EBUSY, true, "flash",
                  "/dev/sg0 is in use: a disc from it is mounted, or another program holds the drive. Unmount the "
                  "disc (umount /dev/sr0) or close that program, then try again."},
        DriveCase{"OtherError", "sr0", "/dev/sr0", EIO, false, "check", "cannot open /dev/sr0: Input/output error."}),
    [](const testing::TestParamInfo<DriveCase>& row) { return std::string(row.param.name); });

struct HolderCase {
  const char* name;
  const char* held;  // the node another program holds
  int flags;
  bool lock;  // and locks exclusively
  const char* drive;
  const char* flashRefusal;
  bool checkRefused;
};

class HeldByAnotherProgram : public Comboflash, public testing::WithParamInterface<HolderCase> {};

TEST_P(HeldByAnotherProgram, RefusesTheFlashBeforeAnythingIsSent) {
  const HolderCase& row = GetParam();
  const OpenedNode other = kernel.Open(row.held, row.flags);
  ASSERT_NE(other.node, nullptr);
  if (row.lock) {
    ASSERT_EQ(other.node->Lock(true), 0);
  }
  const Result flash = Run({"flash", firmware.Path(), "--drive", row.drive, "--yes"});
  EXPECT_EQ(flash.status, 3);
  EXPECT_EQ(flash.err, "comboflash: " + std::string(row.flashRefusal) + "\n");
  EXPECT_EQ(kernel.IoctlCount(), 0);
  EXPECT_EQ(Run({"check", firmware.Path(), "--drive", row.drive}).status, row.checkRefused ? 3 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Holders, HeldByAnotherProgram,
    testing::Values(
        HolderCase{"ExclusiveOpenOfTheBlockNode", "/dev/sr0", O_RDONLY | O_EXCL, false, "sr0",
                   "/dev/sr0 is in use: a disc from it is mounted, or another program holds the drive. Unmount the "
                   "disc (umount /dev/sr0) or close that program, then try again.",
                   false},
        HolderCase{"OpenGenericNode", "/dev/sg0", O_RDONLY, false, "sr0",
                   "/dev/sr0 is in use: another program holds the drive through /dev/sg0. Close that program, then "
                   "try again.",
                   false},
        HolderCase{"LockedBlockNode", "/dev/sr0", O_RDONLY, true, "/dev/sg0",
                   "/dev/sg0 is in use: another program holds a lock on the drive (/dev/sr0), such as another "
                   "comboflash using it. Wait until it is done, then try again.",
                   false},
        HolderCase{"LockedBlockNodeChecked", "/dev/sr0", O_RDONLY, true, "sr0",
                   "/dev/sr0 is in use: another program holds a lock on the drive (/dev/sr0), such as another "
                   "comboflash using it. Wait until it is done, then try again.",
                   true}),
    [](const testing::TestParamInfo<HolderCase>& row) { return std::string(row.param.name); });

// Two flashes of one drive at once: the second, by whichever name, starts
// while the first is about to write its pages, and is refused before it
// sends anything; the first goes on to write every page.
struct TwoFlashesCase {
  const char* name;
  const char* first;
  std::vector<std::string> second;  // its words after the file
  const char* refusal;              // the start of what it says
};

class TwoAtOnce : public Comboflash, public testing::WithParamInterface<TwoFlashesCase> {
 protected:
  TwoAtOnce() { kernel.AddLink("/dev/cdrom", "/dev/sr0"); }
};

class SecondRunOnHold final : public SleepInhibitor {
 public:
  explicit SecondRunOnHold(std::function<void()> second) : second_(std::move(second)) {}
  std::optional<std::string> Hold() override {
    second_();
    return std::nullopt;
  }
  void Release() override {}

 private:
  std::function<void()> second_;
};

TEST_P(TwoAtOnce, TheSecondIsRefusedAsInUseByAnyName) {
  TempFile other{KeyThenZeros(2000)};
  Result second{};
  int ioctlsBySecond = -1;
  SecondRunOnHold hold([&] {
    const int before = kernel.IoctlCount();
    std::vector<std::string> words = {GetParam().second[0], other.Path()};
    words.insert(words.end(), GetParam().second.begin() + 1, GetParam().second.end());
    second = RunWith(words, inhibitor);
    ioctlsBySecond = kernel.IoctlCount() - before;
  });
  const Result first = RunWith({"flash", firmware.Path(), "--drive", GetParam().first, "--yes"}, hold);
  EXPECT_EQ(second.status, 3);
  EXPECT_EQ(second.err.rfind("comboflash: " + std::string(GetParam().refusal), 0), 0u) << second.err;
  EXPECT_NE(second.err.find(" is in use: "), std::string::npos) << second.err;
  EXPECT_EQ(ioctlsBySecond, 0);
  EXPECT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(PageWritesSent(), 32);
  EXPECT_TRUE(drive.ImageCompleteAndConsistent()) << drive.Verdict();
}

INSTANTIATE_TEST_SUITE_P(
    Names, TwoAtOnce,
    testing::Values(
        TwoFlashesCase{"BlockThenGeneric", "/dev/sr0", {"flash", "--drive", "/dev/sg0", "--yes"}, "/dev/sg0 is in use"},
        TwoFlashesCase{"GenericThenBlock", "/dev/sg0", {"flash", "--drive", "sr0", "--yes"}, "/dev/sr0 is in use"},
        TwoFlashesCase{"LinkThenGeneric", "/dev/cdrom", {"flash", "--drive", "/dev/sg0", "--yes"}, "/dev/sg0 is in use"},
        TwoFlashesCase{"GenericThenLink", "/dev/sg0", {"flash", "--drive", "/dev/cdrom", "--yes"}, "/dev/cdrom is in use"},
        TwoFlashesCase{"BlockThenBlock", "sr0", {"flash", "--drive", "sr0", "--yes"}, "/dev/sr0 is in use"},
        TwoFlashesCase{"CheckByTheBlockNode", "/dev/sg0", {"check", "--drive", "sr0"}, "/dev/sr0 is in use"},
        TwoFlashesCase{"CheckByTheGenericNode", "/dev/sr0", {"check", "--drive", "/dev/sg0"}, "/dev/sg0 is in use"}),
    [](const testing::TestParamInfo<TwoFlashesCase>& row) { return std::string(row.param.name); });

TEST_F(Comboflash, ADriveThatRefusesTheInquiryIsRefusedWithItsAnswer) {
  drive.Behaviour().refuseInquiry = true;
  const Result result = Run({"check", firmware.Path(), "--drive", "sr0"});
  EXPECT_EQ(result.status, 3);
  EXPECT_EQ(result.err,
            "comboflash: /dev/sr0 did not answer the identity inquiry: the drive answered status 0x02, sense key "
            "0x5, ASC 0x24, ASCQ 0x00. Check the drive's cable or enclosure and try again.\n");
}

TEST_F(Comboflash, FlashWithYesWritesEveryPageOneLineEachAndCompletes) {
  const Result result = Run({"flash", firmware.Path(), "--drive", "sr0", "--yes"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "Drive:    /dev/sr0  ACME     COMBO DVD/RW 52X 1.02\nFile:     " + firmware.Path() +
                            "\nFirmware Checksum:  5bb\nFlash Now!Please don't Power off!\n" + PageLines() +
                            "Flash Complete!\n");
  EXPECT_EQ(result.err, "");
  EXPECT_TRUE(drive.ImageCompleteAndConsistent()) << drive.Verdict();
  ASSERT_FALSE(kernel.Opens().empty());
  EXPECT_EQ(kernel.Opens()[0].flags & (O_ACCMODE | O_EXCL), O_RDWR | O_EXCL);
  // Sleep and the stopping signals were held off around all 32 pages, and only then.
  EXPECT_EQ(inhibitor.holds, 1);
  EXPECT_EQ(inhibitor.releases, 1);
  EXPECT_EQ(interruptions.ioctlsAtBegin, 1);  // after the INQUIRY, before page 1
  EXPECT_EQ(interruptions.ioctlsAtEnd, 33);
  EXPECT_TRUE(interruptions.delivered.empty());
}

// A file another program rewrites once it has been read: the first open
// gives the checked contents, every later one the rewritten contents.
class RewrittenAfterFirstRead final : public FirmwareFile {
 public:
  RewrittenAfterFirstRead(std::vector<std::uint8_t> first, std::vector<std::uint8_t> later)
      : first_(std::move(first)), later_(std::move(later)) {}

  bool Open(const std::string& path) override {
    current_ = opens_++ == 0 ? &first_ : &later_;
    return current_->Open(path);
  }
  std::optional<std::uint64_t> SeekToEnd() override { return current_->SeekToEnd(); }
  bool SeekToBegin() override { return current_->SeekToBegin(); }
  std::optional<std::size_t> Read(void* buffer, std::size_t count) override { return current_->Read(buffer, count); }
  void Close() override { current_->Close(); }
  int Opens() const { return opens_; }

 private:
  FakeFirmwareFile first_;
  FakeFirmwareFile later_;
  FakeFirmwareFile* current_ = &first_;
  int opens_ = 0;
};

// What is written is what was checked: the file is read once, before the
// drive is asked, and a later change to it never reaches the drive.
TEST_F(Comboflash, FlashReadsTheFileOnceAndWritesTheBytesItChecked) {
  std::vector<std::uint8_t> checked = KeyThenZeros();
  checked[600] = 0x5A;
  RewrittenAfterFirstRead rewritten(checked, ContentsWith(1000, "SOMEONE ELSE", 0));
  fileLayer = &rewritten;
  const Result result = Run({"flash", firmware.Path(), "--drive", "sr0", "--yes"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(rewritten.Opens(), 1);
  EXPECT_TRUE(drive.ImageCompleteAndConsistent()) << drive.Verdict();
  EXPECT_TRUE(std::equal(checked.begin(), checked.end(), drive.Image().begin()));
}

TEST_F(Comboflash, ARefusedPageIsNamedWithTheDrivesAnswerAndTheVerdictCountsIt) {
  drive.Behaviour().refusedPage = 7;
  const Result result = Run({"flash", firmware.Path(), "--drive", "sr0", "--yes"});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.out.find(PageLines("the drive answered status 0x02, sense key 0x5, ASC 0x24, ASCQ 0x00") +
                            "Flash Failed!\n1 of 32 pages were not written.\n"),
            std::string::npos)
      << result.out;
  EXPECT_EQ(drive.PagesAccepted(), 31);
}

TEST_F(Comboflash, AKernelThatRefusesTheVendorCommandIsExplainedOnEveryPage) {
  kernel.SetRawIo(false);
  const Result result = Run({"flash", firmware.Path(), "--drive", "sr0", "--yes"});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.out.find("Page-32 Checksum:    0  refused by the kernel (EPERM): Linux passes vendor commands only "
                            "from a process with CAP_SYS_RAWIO; run comboflash as root\nFlash Failed!\n32 of 32 pages "
                            "were not written.\n"),
            std::string::npos)
      << result.out;
}

// A drive that never answers its identity inquiry holds list and check up
// for no longer than the inquiry's own time-out, and they say why.
struct SilentCase {
  const char* name;
  std::vector<std::string> words;  // the firmware path is added after the command
  int status;
  const char* said;  // the start of what the drive's line or the refusal says
};

void PrintTo(const SilentCase& row, std::ostream* out) { *out << row.name; }

class SilentDrive : public Comboflash, public testing::WithParamInterface<SilentCase> {};

TEST_P(SilentDrive, EndsWithinAMinuteWithTheKernelsTimeOut) {
  const SilentCase& row = GetParam();
  kernel.AddFault("/dev/sr0", SgFault{.page = 0, .silent = true});
  std::vector<std::string> words = row.words;
  if (words[0] != "list") words.insert(words.begin() + 1, firmware.Path());
  const Result result = Run(words);
  EXPECT_EQ(result.status, row.status);
  EXPECT_NE((result.out + result.err)
                .find(std::string(row.said) +
                      "/dev/sr0 did not answer the identity inquiry: the transport failed: host status 0x03, driver "
                      "status 0x00: the drive did not answer in time, and the kernel aborted the command (time-out). "
                      "Check the drive's cable or enclosure and try again."),
            std::string::npos)
      << result.out << result.err;
  EXPECT_GT(kernel.Waited().count(), 0);
  EXPECT_LE(kernel.Waited(), std::chrono::minutes(1));
  EXPECT_EQ(PageWritesSent(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, SilentDrive,
    testing::Values(SilentCase{"List", {"list"}, 0, "/dev/sr0  usb  cannot be asked: "},
                    SilentCase{"Check", {"check", "--drive", "sr0"}, 3, "comboflash: "},
                    SilentCase{"Flash", {"flash", "--drive", "sr0", "--yes"}, 3, "comboflash: "}),
    [](const testing::TestParamInfo<SilentCase>& row) { return std::string(row.param.name); });

// Every page that fails is named with what the kernel said and what it
// means; the flash goes on, as the dialog's does, and ends failed.
struct PageFaultCase {
  const char* name;
  SgFault fault;
  const char* outcome;  // the page's line, after its checksum
};

void PrintTo(const PageFaultCase& row, std::ostream* out) { *out << row.name; }

class PageFaultShown : public Comboflash, public testing::WithParamInterface<PageFaultCase> {};

TEST_P(PageFaultShown, WithTheKernelsReasonAndTheFlashFails) {
  const PageFaultCase& row = GetParam();
  kernel.AddFault("/dev/sr0", row.fault);
  const Result result = Run({"flash", firmware.Path(), "--drive", "sr0", "--yes"});
  EXPECT_EQ(result.status, 1);
  const std::string page = std::to_string(row.fault.page);
  EXPECT_NE(result.out.find("Page-" + std::string(page.size() == 1 ? " " : "") + page + " Checksum:    0  " +
                            row.outcome + "\n"),
            std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("Flash Failed!\n1 of 32 pages were not written.\n"), std::string::npos) << result.out;
  EXPECT_EQ(PageWritesSent(), 31);
}

INSTANTIATE_TEST_SUITE_P(
    Kernel, PageFaultShown,
    testing::Values(
        PageFaultCase{"NoConnect", {.page = 5, .hostStatus = 0x01},
                      "the transport failed: host status 0x01, driver status 0x00: the kernel lost its connection to "
                      "the drive (no connect): it was removed, or its cable or enclosure came loose"},
        PageFaultCase{"TimeOut", {.page = 6, .hostStatus = 0x03},
                      "the transport failed: host status 0x03, driver status 0x00: the drive did not answer in time, "
                      "and the kernel aborted the command (time-out)"},
        PageFaultCase{"Reset", {.page = 7, .hostStatus = 0x08},
                      "the transport failed: host status 0x08, driver status 0x00: the drive or its bus was reset "
                      "during the command (reset)"},
        PageFaultCase{"Disrupted", {.page = 8, .hostStatus = 0x0e},
                      "the transport failed: host status 0x0e, driver status 0x00: the connection to the drive broke "
                      "during the command (transport disrupted)"},
        PageFaultCase{"OlderKernelsDriverTimeOut", {.page = 9, .driverStatus = 0x26},
                      "the transport failed: host status 0x00, driver status 0x26: the command timed out in the "
                      "kernel's driver (time-out)"},
        PageFaultCase{"UnknownHostStatus", {.page = 10, .hostStatus = 0x42},
                      "the transport failed: host status 0x42, driver status 0x00"},
        PageFaultCase{"NodeGone", {.page = 11, .ioctlError = ENODEV},
                      "system error 19 (No such device): the drive is gone: it was removed or disconnected, so "
                      "nothing more reaches it"},
        PageFaultCase{"OtherSystemError", {.page = 12, .ioctlError = EIO}, "system error 5 (Input/output error)"}),
    [](const testing::TestParamInfo<PageFaultCase>& row) { return std::string(row.param.name); });

// A page the drive never answers keeps the page write's own long time-out:
// the kernel, not comboflash, gives up on it, and the next page follows.
TEST_F(Comboflash, APageTheDriveNeverAnswersIsGivenItsWholeTimeOutAndTheFlashGoesOn) {
  kernel.AddFault("/dev/sr0", SgFault{.page = 9, .silent = true});
  const Result result = Run({"flash", firmware.Path(), "--drive", "sr0", "--yes"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(kernel.Waited(), std::chrono::seconds(25000));
  EXPECT_NE(result.out.find("Page- 9 Checksum:    0  the transport failed: host status 0x03"), std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("Page-10 Checksum:    0  written\n"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("Flash Failed!\n1 of 32 pages were not written.\n"), std::string::npos) << result.out;
  EXPECT_EQ(drive.PagesAccepted(), 31);
}

// Pulled out at page 30: that page is lost with the connection, the two
// after it find no drive, and the flash ends failed, never complete.
TEST_F(Comboflash, ADriveRemovedDuringTheFlashFailsEveryPageFromThereOn) {
  kernel.AddFault("/dev/sr0", SgFault{.page = 30, .detach = true});
  const Result result = Run({"flash", firmware.Path(), "--drive", "sr0", "--yes"});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.out.find("Page-29 Checksum:    0  written\nPage-30 Checksum:    0  the transport failed: host "
                            "status 0x01"),
            std::string::npos)
      << result.out;
  for (const char* page : {"Page-31", "Page-32"}) {
    EXPECT_NE(result.out.find(std::string(page) + " Checksum:    0  system error 19 (No such device): the drive is gone"),
              std::string::npos)
        << result.out;
  }
  EXPECT_TRUE(result.out.ends_with("Flash Failed!\n3 of 32 pages were not written.\n")) << result.out;
  EXPECT_EQ(result.out.find("Complete"), std::string::npos) << result.out;
  EXPECT_EQ(drive.PagesAccepted(), 29);
}

TEST_F(Comboflash, WithoutRawIoTheFlashIsRefusedBeforeAnyPage) {
  rawIo = false;
  const Result result = Run({"flash", firmware.Path(), "--drive", "sr0", "--yes"});
  EXPECT_EQ(result.status, 8);
  EXPECT_NE(result.err.find("CAP_SYS_RAWIO. Run comboflash as root"), std::string::npos);
  EXPECT_EQ(PageWritesSent(), 0);
}

TEST_F(Comboflash, WithoutATerminalTheFlashNeedsYes) {
  const Result result = Run({"flash", firmware.Path(), "--drive", "sr0"}, "yes\n");
  EXPECT_EQ(result.status, 6);
  EXPECT_EQ(result.err,
            "comboflash: not flashing: there is no terminal to confirm on. Give --yes to flash without asking.\n");
  EXPECT_EQ(PageWritesSent(), 0);
}

struct AnswerCase {
  const char* name;
  const char* input;
  bool flashes;
};

class Confirmation : public Comboflash, public testing::WithParamInterface<AnswerCase> {};

TEST_P(Confirmation, NamesTheDriveAndFileAndGoesOnOnlyOnYes) {
  terminal = true;
  const Result result = Run({"flash", firmware.Path(), "--drive", "sr0"}, GetParam().input);
  EXPECT_NE(result.out.find("Write " + firmware.Path() + " to /dev/sr0 (ACME     COMBO DVD/RW 52X 1.02)? A drive left "
                            "half written may not start again. Type yes to go on: "),
            std::string::npos);
  EXPECT_EQ(result.status, GetParam().flashes ? 0 : 6);
  EXPECT_EQ(PageWritesSent(), GetParam().flashes ? 32 : 0);
  if (!GetParam().flashes) {
    EXPECT_EQ(result.err, "comboflash: not flashing: not confirmed.\n");
  }
}

INSTANTIATE_TEST_SUITE_P(Answers, Confirmation,
                         testing::Values(AnswerCase{"Yes", "yes\n", true}, AnswerCase{"No", "no\n", false},
                                         AnswerCase{"JustY", "y\n", false}, AnswerCase{"Nothing", "", false},
                                         AnswerCase{"YesWithoutLineEnd", "yes", true}),
                         [](const testing::TestParamInfo<AnswerCase>& row) { return std::string(row.param.name); });

// Standard output that notes, at each flush, what has reached its reader and
// how many pages the drive had been sent by then.
class FlushRecorder : public std::stringbuf {
 public:
  struct Flush {
    int pagesSent;
    std::string text;
  };
  explicit FlushRecorder(std::function<int()> pagesSent) : pagesSent_(std::move(pagesSent)) {}
  std::vector<Flush> flushes;

 protected:
  int sync() override {
    flushes.push_back({pagesSent_(), str()});
    return 0;
  }

 private:
  std::function<int()> pagesSent_;
};

// A log kept through a pipe or file shows how far a flash got, even if the
// machine stops before the verdict.
TEST_F(Comboflash, WithoutATerminalTheAnnouncementAndEachPagesLineAreOutBeforeTheNextPage) {
  FlushRecorder recorder([this] { return PageWritesSent(); });
  std::ostream recorded(&recorder);
  outTo = &recorded;
  EXPECT_EQ(Run({"flash", firmware.Path(), "--drive", "sr0", "--yes"}).status, 0);

  const auto flushedWhenSent = [&](int pages, const std::string& text) {
    return std::any_of(recorder.flushes.begin(), recorder.flushes.end(), [&](const FlushRecorder::Flush& flush) {
      return flush.pagesSent == pages && flush.text.find(text) != std::string::npos;
    });
  };
  EXPECT_TRUE(flushedWhenSent(0, "Flash Now!Please don't Power off!\n"));
  std::istringstream lines(PageLines());
  std::string line;
  for (int page = 1; std::getline(lines, line); ++page) {
    EXPECT_TRUE(flushedWhenSent(page, line + "\n")) << "page " << page << ": " << line;
  }
  EXPECT_NE(recorder.str().find("Flash Complete!"), std::string::npos);
}

TEST_F(Comboflash, OnATerminalAProgressBarStepsAndOnlyAPageNotWrittenGetsALine) {
  terminal = true;
  drive.Behaviour().refusedPage = 3;
  const Result result = Run({"flash", firmware.Path(), "--drive", "sr0", "--yes"});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.out.find("\r[##..............................] 2/32 "), std::string::npos);
  EXPECT_NE(result.out.find("\r\033[KPage- 3 Checksum:    0  the drive answered status 0x02"), std::string::npos);
  EXPECT_NE(result.out.find("\r[################################] 32/32 \nFlash Failed!\n1 of 32"), std::string::npos);
  EXPECT_EQ(result.out.find("written\n"), std::string::npos);
}

TEST_F(Comboflash, DryRunPrintsThe32CommandsAndSendsNothing) {
  rawIo = false;
  const Result result = Run({"flash", firmware.Path(), "--drive", "sr0", "--dry-run"});
  EXPECT_EQ(result.status, 0) << result.err;
  std::string expected = "Drive:    /dev/sr0  ACME     COMBO DVD/RW 52X 1.02\nFile:     " + firmware.Path() +
                         "\nFirmware Checksum:  5bb\nDry run: these 32 commands would go to /dev/sr0, each with its "
                         "page's 16384 bytes. Nothing is sent.\n";
  for (int page = 1; page <= 32; ++page) {
    char line[64];
    std::snprintf(line, sizeof line, "Page-%2d: FD 07 5A 59 4E 4B %s 05 BB %02X 20\n", page,
                  page == 1 ? "05 BB" : "00 00", page);
    expected += line;
  }
  EXPECT_EQ(result.out, expected);
  EXPECT_EQ(PageWritesSent(), 0);
  EXPECT_EQ(kernel.Opens()[0].flags & O_ACCMODE, O_RDONLY);
  EXPECT_EQ(inhibitor.holds, 0);
}

struct PowerCase {
  const char* name;
  const char* status;
  const char* capacity;
  const char* mainsOnline;
  bool force;
  bool flashes;
  const char* scope = "";  // the battery's
};

class Battery : public Comboflash, public testing::WithParamInterface<PowerCase> {};

TEST_P(Battery, BelowThirtyPercentIsRefusedUnlessForced) {
  const PowerCase& row = GetParam();
  sysfs.AddPowerSupply("BAT0", "Battery", row.status, row.capacity, "", row.scope);
  if (*row.mainsOnline) sysfs.AddPowerSupply("AC", "Mains", "", "", row.mainsOnline);
  std::vector<std::string> words = {"flash", firmware.Path(), "--drive", "sr0", "--yes"};
  if (row.force) words.push_back("--force");
  const Result result = Run(words);
  EXPECT_EQ(result.status, row.flashes ? 0 : 7) << result.err;
  EXPECT_EQ(PageWritesSent(), row.flashes ? 32 : 0);
  if (!row.flashes) {
    EXPECT_EQ(result.err, "comboflash: on battery at " + std::string(row.capacity) +
                              "% (below 30%): a flash that stops halfway can leave the drive unusable. Connect the "
                              "charger and try again, or give --force to flash anyway.\n");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Supplies, Battery,
    testing::Values(PowerCase{"Low", "Discharging", "29", "", false, false},
                    PowerCase{"LowForced", "Discharging", "5", "", true, true},
                    PowerCase{"AtLimit", "Discharging", "30", "", false, true},
                    PowerCase{"LowOnMains", "Discharging", "10", "1", false, true},
                    PowerCase{"LowMainsOffline", "Discharging", "10", "0", false, false},
                    PowerCase{"LowCharging", "Charging", "10", "", false, true},
                    PowerCase{"NoCapacity", "Discharging", "", "", false, true},
                    PowerCase{"LowSystemScope", "Discharging", "10", "", false, false, "System"},
                    PowerCase{"LowMouseOnADesktop", "Discharging", "10", "", false, true, "Device"}),
    [](const testing::TestParamInfo<PowerCase>& row) { return std::string(row.param.name); });

TEST_F(Comboflash, WithoutLogindItSaysSoAndGoesOn) {
  inhibitor.failure = "Could not activate remote peer: No such file or directory";
  const Result result = Run({"flash", firmware.Path(), "--drive", "sr0", "--yes"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err,
            "comboflash: cannot hold off sleep and shutdown: logind did not answer (Could not activate remote peer: No such file or "
            "directory); do not suspend or power off the machine until the flash is done.\n");
  EXPECT_TRUE(drive.ImageCompleteAndConsistent());
}

TEST_F(Comboflash, ASignalHeldDuringThePagesTakesEffectAfterTheVerdict) {
  interruptions.arrived = SIGTERM;
  const Result result = Run({"flash", firmware.Path(), "--drive", "sr0", "--yes"});
  EXPECT_EQ(result.status, 0);
  EXPECT_TRUE(drive.ImageCompleteAndConsistent());
  EXPECT_EQ(interruptions.delivered, std::vector<int>{SIGTERM});
  EXPECT_TRUE(result.out.ends_with("Flash Complete!\n"));
}

std::string FlashJsonHead(const std::string& file) {
  return "{\"drive\":\"/dev/sr0\",\"file\":\"" + file +
         "\",\"vendor\":\"ACME    \",\"product\":\"COMBO DVD/RW 52X\",\"revision\":\"1.02\",\"identity\":"
         "\"ACME    COMBO DVD/RW 52X\",\"accepted\":true,";
}

TEST_F(Comboflash, FlashAsJsonIsOneObjectAtTheEndAndTheAnnouncementGoesToStandardError) {
  const Result result = Run({"flash", firmware.Path(), "--drive", "sr0", "--yes", "--json"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, FlashJsonHead(firmware.Path()) +
                            "\"verdict\":\"complete\",\"reason\":null,\"error\":null,\"firmwareChecksum\":1467,"
                            "\"pages\":" + JsonPages([](int) { return std::string(",\"outcome\":\"accepted\""); }) +
                            ",\"pagesNotWritten\":0}\n");
  EXPECT_EQ(result.err, "Flash Now!Please don't Power off!\n");
  EXPECT_TRUE(drive.ImageCompleteAndConsistent()) << drive.Verdict();
}

// Each page's outcome as values, and in the same words as a flash without
// --json gives it.
TEST_F(Comboflash, FlashAsJsonGivesEachPagesOutcome) {
  kernel.AddFault("/dev/sr0", {.page = 3, .ioctlError = EIO});
  kernel.AddFault("/dev/sr0", {.page = 5, .hostStatus = 0x01, .driverStatus = 0x00});
  drive.Behaviour().refusedPage = 7;
  const Result text = Run({"flash", firmware.Path(), "--drive", "sr0", "--yes"});
  const auto wordsOf = [&text](int page) {
    const std::string start = "Page-" + std::string(page < 10 ? " " : "") + std::to_string(page) + " Checksum:    0  ";
    const std::size_t at = text.out.find(start);
    return at == std::string::npos ? std::string("?")
                                   : text.out.substr(at + start.size(), text.out.find('\n', at) - at - start.size());
  };

  const Result result = Run({"flash", firmware.Path(), "--drive", "sr0", "--yes", "--json"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(text.status, 1);
  const auto outcome = [&](int page) -> std::string {
    switch (page) {
      case 3: return ",\"outcome\":\"system-error\",\"errno\":5,\"error\":\"" + wordsOf(3) + "\"";
      case 5:
        return ",\"outcome\":\"transport-error\",\"hostStatus\":1,\"driverStatus\":0,\"error\":\"" + wordsOf(5) + "\"";
      case 7:
        return ",\"outcome\":\"drive-status\",\"status\":2,\"sense\":{\"key\":5,\"asc\":36,\"ascq\":0},\"error\":\"" +
               wordsOf(7) + "\"";
      default: return ",\"outcome\":\"accepted\"";
    }
  };
  EXPECT_EQ(result.out, FlashJsonHead(firmware.Path()) +
                            "\"verdict\":\"failed\",\"reason\":null,\"error\":\"Flash Failed!\\u000a3 of 32 pages were "
                            "not written.\",\"firmwareChecksum\":1467,\"pages\":" + JsonPages(outcome) +
                            ",\"pagesNotWritten\":3}\n");
  EXPECT_EQ(wordsOf(7), "the drive answered status 0x02, sense key 0x5, ASC 0x24, ASCQ 0x00");
}

struct JsonRefusalCase {
  const char* name;
  const char* drive;
  bool otherDrivesFirmware;
  bool rawIo;
  const char* batteryPercent;  // on battery power; "": on mains
  int status;
  const char* verdict;
  const char* error;  // its start
};

class FlashAsJsonRefused : public Comboflash, public testing::WithParamInterface<JsonRefusalCase> {};

TEST_P(FlashAsJsonRefused, IsTheOneObjectWithTheVerdictAndNoPageSent) {
  const JsonRefusalCase& row = GetParam();
  rawIo = row.rawIo;
  if (*row.batteryPercent) sysfs.AddPowerSupply("BAT0", "Battery", "Discharging", row.batteryPercent, "", "");
  const TempFile other(ContentsWith(1000, "SOMEONE ELSE", 0));
  const std::string path = row.otherDrivesFirmware ? other.Path() : firmware.Path();
  const Result result = Run({"flash", path, "--drive", row.drive, "--yes", "--json"});
  EXPECT_EQ(result.status, row.status);
  EXPECT_EQ(result.err, "");
  EXPECT_TRUE(result.out.starts_with("{\"drive\":\"/dev/")) << result.out;
  EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 1) << result.out;
  EXPECT_NE(result.out.find(",\"verdict\":\"" + std::string(row.verdict) + "\",\"reason\":null,\"error\":\"" + row.error),
            std::string::npos)
      << result.out;
  EXPECT_EQ(PageWritesSent(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, FlashAsJsonRefused,
    testing::Values(JsonRefusalCase{"NoSuchDrive", "sr7", false, true, "", 3, "drive-refused", "no such device: /dev/sr7."},
                    JsonRefusalCase{"Mismatch", "sr0", true, true, "", 5, "mismatch", "This firmware does not match"},
                    JsonRefusalCase{"NoRawIo", "sr0", false, false, "", 8, "no-raw-io", "this process may not send"},
                    JsonRefusalCase{"BatteryLow", "sr0", false, true, "10", 7, "battery-low", "on battery at 10%"}),
    [](const testing::TestParamInfo<JsonRefusalCase>& row) { return std::string(row.param.name); });

}  // namespace
