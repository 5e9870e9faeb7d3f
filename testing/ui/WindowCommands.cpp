// Top-level windows: waiting for them, listing them, and waiting for their
// thread to catch up.
#include "testing/ui/Commands.h"
#include "testing/ui/Windows.h"

namespace uidriver {
namespace {

void ListVisibleWindows(Answer& answer) {
  for (HWND window : TopLevelWindows())
    if (IsWindowVisible(window)) answer.details.push_back(Describe(window));
}

Answer WaitWindow(Session&, Words& words) {
  const auto timeout = words.NextTimeout();
  const std::string caption = UnescapeText(words.Rest());
  if (!timeout || caption.empty()) return Usage("wait-window TIMEOUT_MS CAPTION");
  HWND found = nullptr;
  if (WaitUntil(*timeout, [&] { return (found = FindTopLevel(caption)) != nullptr; }))
    return Answer::Ok(FormatHandle(found));
  Answer answer = Answer::Error("no visible window \"" + caption + "\" after " + Number(*timeout) + " ms");
  ListVisibleWindows(answer);
  return answer;
}

Answer WaitGone(Session&, Words& words) {
  const auto window = words.NextHandle();
  const auto timeout = words.NextTimeout();
  if (!window || !timeout) return Usage("wait-gone HWND TIMEOUT_MS");
  if (WaitUntil(*timeout, [&] { return !IsWindow(*window); })) return Answer::Ok();
  Answer answer = Answer::Error("window " + FormatHandle(*window) + " still exists after " + Number(*timeout) + " ms");
  answer.details.push_back(Describe(*window));
  return answer;
}

Answer ListWindows(Session&, Words&) {
  Answer answer = Answer::Ok();
  ListVisibleWindows(answer);
  return answer;
}

Answer Dump(Session&, Words& words) {
  return OnTarget(words, [](HWND window) {
    Answer answer = Answer::Ok();
    answer.details.push_back(Describe(window));
    for (HWND child : ChildWindows(window)) answer.details.push_back("  " + Describe(child));
    return answer;
  });
}

Answer WindowProcess(Session&, Words& words) {
  return OnTarget(words, [](HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return Answer::Ok(Number(process));
  });
}

Answer Sync(Session&, Words& words) {
  return OnTarget(words, [](HWND window) {
    // A sent message is handled only when the window's thread next takes
    // messages, so the answer means the thread has finished what it was doing.
    if (!Send(window, WM_NULL, 0, 0)) return Answer::Error("window " + FormatHandle(window) + " does not answer");
    return Answer::Ok();
  });
}

Answer Pause(Session&, Words& words) {
  const auto duration = words.NextTimeout();
  if (!duration) return Usage("sleep MS");
  Sleep(*duration);
  return Answer::Ok();
}

constexpr Command kCommands[] = {
    {"wait-window", "wait-window TIMEOUT_MS CAPTION   -> handle of the visible top-level window with that caption",
     WaitWindow},
    {"wait-gone", "wait-gone HWND TIMEOUT_MS   -> ok once the window no longer exists", WaitGone},
    {"windows", "windows   -> one detail line per visible top-level window", ListWindows},
    {"dump", "dump HWND [ID]   -> one detail line for the window and each of its descendants", Dump},
    {"window-pid", "window-pid HWND   -> id of the process that owns the window", WindowProcess},
    {"sync", "sync HWND [ID]   -> ok once the window's thread takes messages again", Sync},
    {"sleep", "sleep MS", Pause},
};

}  // namespace

std::span<const Command> WindowCommands() { return kCommands; }

}  // namespace uidriver
