#pragma once
// When whatever carries commands to an emulated drive hands back the drive's
// answer: a fault of the carrier, not of the drive, which has always answered.
#include <chrono>

struct AnswerTiming {
  enum class When {
    Immediate,  // at once (or as the carrier's own completion mode says)
    Late,       // after lateBy
    Never,      // never (until the carrier is told to give up on it)
  };

  When inquiry = When::Immediate;
  When pages = When::Immediate;
  std::chrono::milliseconds lateBy{100};

  When For(bool isInquiry) const { return isInquiry ? inquiry : pages; }
};
