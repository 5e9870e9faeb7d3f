// Controls of a dialog: reading their state, and pressing, clicking and
// typing at them.
#include "testing/ui/Commands.h"
#include "testing/ui/Input.h"
#include "testing/ui/Windows.h"

#include <commctrl.h>

namespace uidriver {
namespace {

Answer Text(Session&, Words& words) {
  return OnTarget(words, [](HWND target) {
    const auto text = ReadText(target);
    if (!text) return Answer::Error("window " + FormatHandle(target) + " does not answer WM_GETTEXT");
    return Answer::Ok(*text);
  });
}

Answer Enabled(Session&, Words& words) {
  return OnTarget(words, [](HWND target) {
    return Answer::Ok(IsWindowEnabled(target) ? "1" : "0");
  });
}

Answer Visible(Session&, Words& words) {
  return OnTarget(words, [](HWND target) {
    return Answer::Ok(IsWindowVisible(target) ? "1" : "0");
  });
}

Answer Style(Session&, Words& words) {
  return OnTarget(words, [](HWND target) {
    return Answer::Ok(FormatHex(static_cast<DWORD>(GetWindowLongA(target, GWL_STYLE))) + " " +
                      FormatHex(static_cast<DWORD>(GetWindowLongA(target, GWL_EXSTYLE))));
  });
}

Answer Class(Session&, Words& words) {
  return OnTarget(words, [](HWND target) {
    return Answer::Ok(ClassName(target));
  });
}

Answer Rect(Session&, Words& words) {
  return OnTarget(words, [](HWND target) {
    RECT rect{};
    GetWindowRect(target, &rect);
    return Answer::Ok(Number(rect.left) + " " + Number(rect.top) + " " + Number(rect.right) + " " + Number(rect.bottom));
  });
}

Answer ClientSize(Session&, Words& words) {
  return OnTarget(words, [](HWND target) {
    RECT rect{};
    GetClientRect(target, &rect);
    return Answer::Ok(Number(rect.right - rect.left) + " " + Number(rect.bottom - rect.top));
  });
}

Answer Focus(Session&, Words& words) {
  return OnTarget(words, [](HWND target) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(target, nullptr), &info))
      return Answer::Error("no thread information for " + FormatHandle(target));
    if (!info.hwndFocus) return Answer::Ok("none");
    return Answer::Ok(Number(GetDlgCtrlID(info.hwndFocus)));
  });
}

Answer ProgressPosition(Session&, Words& words) {
  return OnTarget(words, [](HWND target) {
    const auto position = Send(target, PBM_GETPOS, 0, 0);
    if (!position) return Answer::Error("progress bar does not answer");
    return Answer::Ok(Number(static_cast<int>(*position)));
  });
}

Answer ProgressRange(Session&, Words& words) {
  return OnTarget(words, [](HWND target) {
    const auto low = Send(target, PBM_GETRANGE, TRUE, 0);
    const auto high = Send(target, PBM_GETRANGE, FALSE, 0);
    if (!low || !high) return Answer::Error("progress bar does not answer");
    return Answer::Ok(Number(static_cast<int>(*low)) + " " + Number(static_cast<int>(*high)));
  });
}

Answer ProgressStep(Session&, Words& words) {
  return OnTarget(words, [](HWND target) {
    const auto step = Send(target, PBM_GETSTEP, 0, 0);
    if (!step) return Answer::Error("progress bar does not answer");
    return Answer::Ok(Number(static_cast<int>(*step)));
  });
}

Answer EditFirstLine(Session&, Words& words) {
  return OnControl(words, [](HWND control) {
    const auto line = Send(control, EM_GETFIRSTVISIBLELINE, 0, 0);
    if (!line) return Answer::Error("edit control does not answer");
    return Answer::Ok(Number(static_cast<long long>(*line)));
  });
}

// Where a line starts in the edit control's client area: lines scrolled
// above the view have a negative top, lines below it one past the height.
Answer EditLineTop(Session&, Words& words) {
  HWND control = nullptr;
  std::string error;
  if (!ReadControl(words, control, error)) return Answer::Error(error);
  const auto line = words.NextNumber();
  if (!line) return Usage("edit-line-top HWND ID LINE");
  const auto count = Send(control, EM_GETLINECOUNT, 0, 0);
  if (!count) return Answer::Error("edit control does not answer");
  if (*line < 0 || *line >= *count) return Answer::Error("no line " + Number(*line) + " of " + Number(*count));
  const auto index = Send(control, EM_LINEINDEX, static_cast<WPARAM>(*line), 0);
  if (!index || *index < 0) return Answer::Error("no line " + Number(*line));
  const auto position = Send(control, EM_POSFROMCHAR, static_cast<WPARAM>(*index), 0);
  if (!position || *position == -1) return Answer::Error("no position for character " + Number(*index));
  return Answer::Ok(Number(static_cast<short>(HIWORD(static_cast<DWORD>(*position)))));
}

Answer Press(Session&, Words& words) {
  return OnTarget(words, [](HWND target) {
    // A user cannot press what is disabled or hidden, but BM_CLICK would
    // still reach the handler under Wine.
    if (!IsWindowEnabled(target)) return Answer::Error("control " + Number(GetDlgCtrlID(target)) + " is disabled");
    if (!IsWindowVisible(target)) return Answer::Error("control " + Number(GetDlgCtrlID(target)) + " is hidden");
    // Posted, not sent: the button's handler may run a modal loop of its own.
    if (!PostMessageA(target, BM_CLICK, 0, 0)) return Answer::Error("cannot post BM_CLICK");
    return Answer::Ok();
  });
}

Answer Click(Session&, Words& words) {
  return OnTarget(words, [](HWND target) {
    RECT rect{};
    GetWindowRect(target, &rect);
    if (!ClickAt(CenterOf(rect))) return Answer::Error("SendInput refused the click");
    return Answer::Ok();
  });
}

Answer Key(Session&, Words& words) {
  const auto window = words.NextHandle();
  const auto name = words.Next();
  if (!window || !name) return Usage("key HWND enter|escape|space|tab|up|down|f1");
  const auto key = KeyByName(*name);
  if (!key) return Answer::Error("unknown key " + *name);
  if (!IsWindow(*window)) return Answer::Error("no such window");
  if (!PostKey(*window, *key)) return Answer::Error("cannot post the key");
  return Answer::Ok();
}

Answer TypeKeyCommand(Session&, Words& words) {
  const auto name = words.Next();
  if (!name) return Usage("type-key enter|escape|space|tab|up|down|f1");
  const auto key = KeyByName(*name);
  if (!key) return Answer::Error("unknown key " + *name);
  if (!TypeKey(*key)) return Answer::Error("SendInput refused the key");
  return Answer::Ok();
}

Answer SystemCommand(Session&, Words& words) {
  const auto window = words.NextHandle();
  const auto id = words.NextNumber();
  if (!window || !id) return Usage("syscommand HWND ID");
  if (!PostMessageA(*window, WM_SYSCOMMAND, static_cast<WPARAM>(*id), 0))
    return Answer::Error("cannot post WM_SYSCOMMAND");
  return Answer::Ok();
}

constexpr Command kCommands[] = {
    {"text", "text HWND [ID]   -> the window's or control's text (WM_GETTEXT)", Text},
    {"enabled", "enabled HWND [ID]   -> 1 or 0", Enabled},
    {"visible", "visible HWND [ID]   -> 1 or 0", Visible},
    {"style", "style HWND [ID]   -> STYLE EXSTYLE in hex", Style},
    {"class", "class HWND [ID]   -> window class name", Class},
    {"rect", "rect HWND [ID]   -> LEFT TOP RIGHT BOTTOM on screen", Rect},
    {"client-size", "client-size HWND [ID]   -> WIDTH HEIGHT of the client area", ClientSize},
    {"focus", "focus HWND   -> control id that has the keyboard focus in the window's thread, or none", Focus},
    {"progress-pos", "progress-pos HWND ID   -> position (PBM_GETPOS)", ProgressPosition},
    {"progress-range", "progress-range HWND ID   -> LOW HIGH (PBM_GETRANGE)", ProgressRange},
    {"progress-step", "progress-step HWND ID   -> step (PBM_GETSTEP)", ProgressStep},
    {"edit-first-line", "edit-first-line HWND ID   -> first visible line of an edit control (EM_GETFIRSTVISIBLELINE)",
     EditFirstLine},
    {"edit-line-top", "edit-line-top HWND ID LINE   -> top of that line in the edit control's client area", EditLineTop},
    {"press", "press HWND ID   -> posts BM_CLICK to the button; refused when it is disabled or hidden", Press},
    {"click", "click HWND [ID]   -> real left click at the middle of the window", Click},
    {"key", "key HWND enter|escape|space|tab|up|down|f1   -> posts the key to the focused control", Key},
    {"type-key", "type-key enter|escape|space|tab|up|down|f1   -> types the key through the input queue, to whatever has the focus",
     TypeKeyCommand},
    {"syscommand", "syscommand HWND ID   -> posts WM_SYSCOMMAND with that command id", SystemCommand},
};

}  // namespace

std::span<const Command> ControlCommands() { return kCommands; }

}  // namespace uidriver
