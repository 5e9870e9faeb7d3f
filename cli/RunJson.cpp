#include "cli/RunJson.h"

#include <algorithm>

#include "cli/CliTexts.h"
#include "cli/Json.h"
#include "cli/Reasons.h"

namespace {

std::string OrNull(const std::optional<std::string>& text) { return text ? JsonString(*text) : "null"; }

std::string NumberOf(unsigned value) { return std::to_string(value); }

// The fields a page's outcome adds to its object.
std::string OutcomeFields(const ScsiOutcome& outcome) {
  using namespace cli_text::json;
  std::string fields = ",\"outcome\":";
  switch (outcome.kind) {
    case OutcomeKind::Good:
      return fields + JsonString(kPageAccepted);
    case OutcomeKind::ScsiStatus:
      fields += JsonString(kPageDriveStatus) + ",\"status\":" + NumberOf(outcome.scsiStatus) + ",\"sense\":";
      if (outcome.sense.length == 0) {
        fields += "null";
      } else {
        fields += "{\"key\":" + NumberOf(outcome.sense.key) + ",\"asc\":" + NumberOf(outcome.sense.asc) +
                  ",\"ascq\":" + NumberOf(outcome.sense.ascq) + "}";
      }
      break;
    case OutcomeKind::SystemError:
      fields += JsonString(kPageSystemError) + ",\"errno\":" + NumberOf(outcome.systemError);
      break;
    case OutcomeKind::TransportStatus:
      fields += JsonString(kPageTransportError) +
                ",\"hostStatus\":" + NumberOf(HostStatusOf(outcome)) +
                ",\"driverStatus\":" + NumberOf(DriverStatusOf(outcome));
      break;
  }
  return fields + ",\"error\":" + JsonString(OutcomeText(outcome));
}

}  // namespace

std::string RunJson(const RunValues& values) {
  std::string json = "{\"drive\":" + OrNull(values.drive) + ",\"file\":" + JsonString(values.file);
  if (values.probe) {
    json += ",\"vendor\":" + JsonString(values.probe->Vendor()) + ",\"product\":" +
            JsonString(values.probe->Product()) + ",\"revision\":" + JsonString(values.probe->Revision());
  } else {
    json += ",\"vendor\":null,\"product\":null,\"revision\":null";
  }
  json += ",\"identity\":" + OrNull(values.identity);
  json += ",\"accepted\":" + std::string(values.accepted ? "true" : "false");
  json += ",\"verdict\":" + JsonString(values.verdict);
  json += ",\"reason\":" + (values.reason ? JsonString(*values.reason) : std::string("null"));
  json += ",\"error\":" + (values.error.empty() ? std::string("null") : JsonString(values.error));
  if (values.check && values.check->Loaded()) {
    json += ",\"firmwareChecksum\":" + NumberOf(values.check->checksum) + ",\"pages\":[";
    for (int page = 1; page <= kPageCount; ++page) {
      json += std::string(page == 1 ? "" : ",") + "{\"page\":" + std::to_string(page) +
              ",\"checksum\":" + NumberOf(values.check->PageChecksum(page));
      if (values.pages) {
        const std::optional<ScsiOutcome>& outcome = (*values.pages)[static_cast<std::size_t>(page - 1)];
        json += outcome ? OutcomeFields(*outcome) : std::string(",\"outcome\":null");
      }
      json += "}";
    }
    json += "]";
  } else {
    json += ",\"firmwareChecksum\":null,\"pages\":[]";
  }
  if (values.pages) {
    const auto notWritten = std::count_if(values.pages->begin(), values.pages->end(), [](const auto& page) {
      return !page || !page->IsGood();
    });
    json += ",\"pagesNotWritten\":" + std::to_string(notWritten);
  }
  return json + "}\n";
}
