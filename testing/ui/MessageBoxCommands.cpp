// Message boxes: waiting for one, reading it, closing it.
#include "testing/ui/Commands.h"
#include "testing/ui/MessageBoxes.h"
#include "testing/ui/Windows.h"

namespace uidriver {
namespace {

// How long the icon static may take to be painted, and a closed box to go.
constexpr unsigned kPaintWaitMs = 3000;
constexpr unsigned kCloseWaitMs = 5000;

// Reads "BOX" and answers with `use` of that message box.
template <typename Use>
Answer OnBox(Words& words, Use use) {
  const auto window = words.NextHandle();
  if (!window || !IsWindow(*window)) return Answer::Error("no such window");
  if (!IsMessageBox(*window)) return Answer::Error(FormatHandle(*window) + " is not a message box");
  return use(*window);
}

void DescribeBoxes(Answer& answer) {
  for (HWND window : TopLevelWindows())
    if (IsWindowVisible(window) && IsMessageBox(window)) {
      const auto text = ReadText(MessageBoxTextControl(window));
      answer.details.push_back("message box " + Describe(window) + " says: " + (text ? *text : std::string()));
    }
}

Answer WaitBox(Session&, Words& words) {
  const auto owner = words.NextHandle();
  const auto timeout = words.NextTimeout();
  if (!owner || !timeout) return Usage("wait-box OWNER TIMEOUT_MS");
  HWND box = nullptr;
  if (WaitUntil(*timeout, [&] { return (box = FindMessageBox(*owner)) != nullptr; }))
    return Answer::Ok(FormatHandle(box));
  Answer answer = Answer::Error("no message box owned by " + FormatHandle(*owner) + " after " + Number(*timeout) + " ms");
  DescribeBoxes(answer);
  return answer;
}

Answer NoBox(Session&, Words& words) {
  const auto owner = words.NextHandle();
  const auto duration = words.NextTimeout();
  if (!owner || !duration) return Usage("no-box OWNER MS");
  HWND box = nullptr;
  if (!WaitUntil(*duration, [&] { return (box = FindMessageBox(*owner)) != nullptr; })) return Answer::Ok();
  const auto text = ReadText(MessageBoxTextControl(box));
  Answer answer = Answer::Error("a message box appeared: " + (text ? *text : std::string()));
  answer.details.push_back(Describe(box));
  return answer;
}

Answer Caption(Session&, Words& words) {
  return OnBox(words, [&](HWND box) {
    const auto text = ReadText(box);
    return text ? Answer::Ok(*text) : Answer::Error("the box does not answer");
  });
}

Answer Text(Session&, Words& words) {
  return OnBox(words, [&](HWND box) {
    const auto text = ReadText(MessageBoxTextControl(box));
    return text ? Answer::Ok(*text) : Answer::Error("the box does not answer");
  });
}

Answer Icon(Session&, Words& words) {
  return OnBox(words, [&](HWND box) {
    IconReading reading = RecogniseMessageBoxIcon(box, kPaintWaitMs);
    Answer answer = Answer::Ok(reading.name);
    answer.details = std::move(reading.details);
    return answer;
  });
}

Answer Owner(Session&, Words& words) {
  return OnBox(words, [&](HWND box) {
    return Answer::Ok(FormatHandle(GetWindow(box, GW_OWNER)));
  });
}

Answer Buttons(Session&, Words& words) {
  return OnBox(words, [&](HWND box) {
    std::string ids;
    for (int id : MessageBoxButtons(box)) ids += (ids.empty() ? "" : " ") + Number(id);
    return Answer::Ok(ids);
  });
}

Answer Close(Session&, Words& words) {
  return OnBox(words, [&](HWND box) {
    int button = IDOK;
    if (!words.Empty()) {
      const auto chosen = words.NextNumber();
      if (!chosen) return Usage("close-box BOX [BUTTON_ID]");
      button = static_cast<int>(*chosen);
    }
    HWND control = FindControl(box, button);
    if (!control) return Answer::Error("the box has no button " + Number(button));
    PostMessageA(control, BM_CLICK, 0, 0);
    if (!WaitUntil(kCloseWaitMs, [&] { return !IsWindow(box); }))
      return Answer::Error("the box is still there " + Number(kCloseWaitMs) + " ms after pressing " + Number(button));
    return Answer::Ok();
  });
}

constexpr Command kCommands[] = {
    {"wait-box", "wait-box OWNER TIMEOUT_MS   -> handle of a message box owned by OWNER (0: by no window)", WaitBox},
    {"no-box", "no-box OWNER MS   -> ok when no message box owned by OWNER shows up within MS", NoBox},
    {"box-caption", "box-caption BOX   -> the box's caption", Caption},
    {"box-text", "box-text BOX   -> the box's message", Text},
    {"box-icon", "box-icon BOX   -> information, stop, exclamation, question or none", Icon},
    {"box-owner", "box-owner BOX   -> handle of the owner window, 0x0 for none", Owner},
    {"box-buttons", "box-buttons BOX   -> ids of the box's buttons", Buttons},
    {"close-box", "close-box BOX [BUTTON_ID]   -> presses the button (default: OK, 1) and waits until the box is gone",
     Close},
};

}  // namespace

std::span<const Command> MessageBoxCommands() { return kCommands; }

}  // namespace uidriver
