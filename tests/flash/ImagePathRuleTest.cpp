#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "flash/FirmwareImage.h"

namespace {

struct PathCase {
  std::string path;
  ImageFileKind kind;
};

void PrintTo(const PathCase& path, std::ostream* out) { *out << '"' << path.path << '"'; }

class JudgeImagePathTest : public testing::TestWithParam<PathCase> {};

TEST_P(JudgeImagePathTest, LooksAtTheLastThreeCharactersOnly) {
  EXPECT_EQ(JudgeImagePath(GetParam().path), GetParam().kind) << '"' << GetParam().path << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Paths, JudgeImagePathTest,
    testing::Values(PathCase{"C:\\fw\\combo.bin", ImageFileKind::Bin},  //
                    PathCase{"C:\\fw\\combo.Bin", ImageFileKind::Bin},  //
                    PathCase{"C:\\fw\\combo.BIN", ImageFileKind::Bin},  //
                    PathCase{"combo.xbin", ImageFileKind::Bin},        // no dot needed
                    PathCase{"bin", ImageFileKind::Bin},               // three characters: taken whole
                    PathCase{"BiN", ImageFileKind::Bin},               //
                    PathCase{"combo.hex", ImageFileKind::Hex},         //
                    PathCase{"combo.HEX", ImageFileKind::Hex},         //
                    PathCase{"hex", ImageFileKind::Hex},               //
                    PathCase{"combo.bin ", ImageFileKind::Other},      // trailing blank
                    PathCase{"combo.bi", ImageFileKind::Other},        //
                    PathCase{"in", ImageFileKind::Other},              // shorter than three
                    PathCase{"combo.b1n", ImageFileKind::Other},       //
                    PathCase{"combo.txt", ImageFileKind::Other},       //
                    PathCase{"", ImageFileKind::Other}));

}  // namespace
