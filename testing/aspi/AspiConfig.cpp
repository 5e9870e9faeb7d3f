// Configuration file of our wnaspi32.dll
// =====================================
// The layer reads the file named by the environment variable
// COMBOFLASH_ASPI_CONFIG once, on the first call into it after it is loaded.
// Without the variable it presents one host adapter and no targets. Both
// this path and the report's may be Windows paths or, under Wine, Unix
// paths (a leading '/' is taken on drive Z:). One
// statement per line; '#' starts a comment; words are separated by blanks and
// a word with blanks in it is written in double quotes. Numbers are decimal,
// except peripheral bytes and ASPI statuses, which are hexadecimal (with or
// without 0x).
//
//   adapters <count>
//       Host adapters reported by GetASPI32SupportInfo (default 1).
//   completion immediate
//       Requests end inside SendASPI32Command (default).
//   completion deferred <ms>
//       SendASPI32Command returns SS_PENDING; the request ends <ms> later on
//       a thread of the layer's own, which then sets the SRB_PostProc event.
//   completion status-first <ms>
//       The request is carried out and its final status written inside
//       SendASPI32Command, which still returns SS_PENDING; the event is set
//       <ms> later on a thread of the layer's own (legal, and what a layer
//       finishing on another processor does).
//   abort honour | abort ignore
//       Whether SC_ABORT_SRB ends a request that never answers (with
//       SS_ABORTED, setting its event) or fails with SS_ABORT_FAIL (default honour).
//   untouched <status>
//       Every request is answered with <status> (hex) and its block left
//       untouched, as a layer that only pretends to be there does.
//   target <ha> <id> <peripheral> "<vendor>" "<product>" "<revision>"
//       A device at host adapter <ha>, target <id>, answering INQUIRY with
//       that peripheral byte (05: CD-ROM) and identification.
//   refuse-page <ha> <id> <page> <status> [sequence <n>]
//       The device refuses the write of <page> (CHECK CONDITION); the layer
//       ends that request with ASPI status <status>, e.g. 04 (SS_ERR). With
//       "sequence <n>", only in the n-th flash of the session (from 1).
//   refuse-inquiry <ha> <id> <status>
//       The device refuses INQUIRY; the layer ends it with <status>.
//   inquiry <ha> <id> immediate | inquiry <ha> <id> late <ms> | inquiry <ha> <id> never
//   pages <ha> <id> immediate | pages <ha> <id> late <ms> | pages <ha> <id> never
//       When the device answers INQUIRY, or page writes: as the completion
//       mode says, <ms> late on the layer's thread, or never (until aborted).
//       A device's INQUIRY and page writes share one "late" delay: the last given.
//
// A "refuse-*", "inquiry" or "pages" line names a target declared above it.
// Example:
//   adapters 2
//   completion deferred 10
//   target 0 1 05 "EMULATED" "COMBO DRIVE RW" "1.00"
//   target 1 0 00 "DISKCO" "HARD DISK" "2.0"
//   refuse-page 0 1 7 04
#include "testing/aspi/AspiConfig.h"

#include <charconv>
#include <sstream>

namespace {

std::vector<std::string> Words(const std::string& line, bool& unclosedQuote) {
  std::vector<std::string> words;
  unclosedQuote = false;
  std::size_t at = 0;
  while (at < line.size()) {
    if (line[at] == ' ' || line[at] == '\t' || line[at] == '\r') {
      ++at;
    } else if (line[at] == '#') {
      break;
    } else if (line[at] == '"') {
      const std::size_t end = line.find('"', at + 1);
      if (end == std::string::npos) {
        unclosedQuote = true;
        return words;
      }
      words.push_back(line.substr(at + 1, end - at - 1));
      at = end + 1;
    } else {
      std::size_t end = at;
      while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '\r') ++end;
      words.push_back(line.substr(at, end - at));
      at = end;
    }
  }
  return words;
}

std::optional<unsigned> Number(const std::string& word, int base, unsigned maximum) {
  std::string digits = word;
  if (base == 16 && digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    digits = digits.substr(2);
  }
  unsigned value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
  if (error != std::errc() || end != digits.data() + digits.size() || digits.empty() || value > maximum) {
    return std::nullopt;
  }
  return value;
}

class Parser {
 public:
  std::string Statement(const std::vector<std::string>& w) {
    const std::string& verb = w[0];
    if (verb == "adapters" && w.size() == 2) {
      const auto count = Number(w[1], 10, 255);
      if (!count) return "bad adapter count";
      config.hostAdapters = static_cast<std::uint8_t>(*count);
    } else if (verb == "completion" && w.size() == 2 && w[1] == "immediate") {
      config.completion = EmulatedAspiLayer::Completion::Immediate;
    } else if (verb == "completion" && w.size() == 3 && w[1] == "deferred") {
      const auto ms = Number(w[2], 10, 600000);
      if (!ms) return "bad delay";
      config.completion = EmulatedAspiLayer::Completion::Deferred;
      config.deferredBy = std::chrono::milliseconds(*ms);
    } else if (verb == "completion" && w.size() == 3 && w[1] == "status-first") {
      const auto ms = Number(w[2], 10, 600000);
      if (!ms) return "bad delay";
      config.completion = EmulatedAspiLayer::Completion::StatusFirst;
      config.deferredBy = std::chrono::milliseconds(*ms);
    } else if (verb == "abort" && w.size() == 2 && (w[1] == "honour" || w[1] == "ignore")) {
      config.abortHonoured = w[1] == "honour";
    } else if (verb == "untouched" && w.size() == 2) {
      const auto status = Number(w[1], 16, 255);
      if (!status) return "bad status";
      config.untouchedAnswer = static_cast<std::uint8_t>(*status);
    } else if (verb == "target" && w.size() == 7) {
      const auto ha = Number(w[1], 10, 255), id = Number(w[2], 10, 255), peripheral = Number(w[3], 16, 255);
      if (!ha || !id || !peripheral) return "bad target address or peripheral byte";
      AspiTargetConfig target;
      target.hostAdapter = static_cast<std::uint8_t>(*ha);
      target.target = static_cast<std::uint8_t>(*id);
      target.inquiry = {static_cast<std::uint8_t>(*peripheral), w[4], w[5], w[6]};
      config.targets.push_back(target);
    } else if (verb == "refuse-page" && (w.size() == 5 || (w.size() == 7 && w[5] == "sequence"))) {
      AspiTargetConfig* target = Find(w[1], w[2]);
      const auto page = Number(w[3], 10, 255), status = Number(w[4], 16, 255);
      if (!target) return "no such target declared";
      if (!page || !status) return "bad page or status";
      const auto sequence = w.size() == 7 ? Number(w[6], 10, 1000) : std::optional<unsigned>(0);
      if (!sequence || (w.size() == 7 && *sequence == 0)) return "bad sequence number";
      target->behaviour.refusedPage = static_cast<int>(*page);
      target->carrier.refusalStatus = static_cast<std::uint8_t>(*status);
      target->behaviour.refusedInSequence = static_cast<int>(*sequence);
    } else if (verb == "refuse-inquiry" && w.size() == 4) {
      AspiTargetConfig* target = Find(w[1], w[2]);
      const auto status = Number(w[3], 16, 255);
      if (!target) return "no such target declared";
      if (!status) return "bad status";
      target->behaviour.refuseInquiry = true;
      target->carrier.refusalStatus = static_cast<std::uint8_t>(*status);
    } else if ((verb == "inquiry" || verb == "pages") && (w.size() == 4 || w.size() == 5)) {
      AspiTargetConfig* target = Find(w[1], w[2]);
      if (!target) return "no such target declared";
      AnswerTiming& timing = target->carrier.timing;
      AnswerTiming::When& when = verb == "inquiry" ? timing.inquiry : timing.pages;
      if (w[3] == "immediate" && w.size() == 4) {
        when = AnswerTiming::When::Immediate;
      } else if (w[3] == "never" && w.size() == 4) {
        when = AnswerTiming::When::Never;
      } else if (w[3] == "late" && w.size() == 5) {
        const auto ms = Number(w[4], 10, 600000);
        if (!ms) return "bad delay";
        when = AnswerTiming::When::Late;
        timing.lateBy = std::chrono::milliseconds(*ms);
      } else {
        return "expected immediate, late <ms> or never";
      }
    } else {
      return "unknown statement or wrong number of words: " + verb;
    }
    return {};
  }

  AspiConfig config;

 private:
  AspiTargetConfig* Find(const std::string& ha, const std::string& id) {
    const auto a = Number(ha, 10, 255), t = Number(id, 10, 255);
    if (!a || !t) return nullptr;
    for (AspiTargetConfig& target : config.targets) {
      if (target.hostAdapter == *a && target.target == *t) return &target;
    }
    return nullptr;
  }
};

}  // namespace

AspiConfigResult ParseAspiConfig(const std::string& text) {
  Parser parser;
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    bool unclosedQuote = false;
    const std::vector<std::string> words = Words(line, unclosedQuote);
    std::string error = unclosedQuote ? "unclosed quote" : words.empty() ? "" : parser.Statement(words);
    if (!error.empty()) return {std::nullopt, "line " + std::to_string(number) + ": " + error};
  }
  return {parser.config, {}};
}

void ApplyAspiConfig(const AspiConfig& config, EmulatedAspiLayer& layer) {
  layer.SetHostAdapterCount(config.hostAdapters);
  layer.SetCompletion(config.completion, config.deferredBy);
  layer.SetAbortHonoured(config.abortHonoured);
  layer.SetUntouchedAnswer(config.untouchedAnswer);
  for (const AspiTargetConfig& target : config.targets) {
    layer.AddTarget(target.hostAdapter, target.target, target.inquiry, target.behaviour, target.carrier);
  }
}
