#pragma once
// A dialog class's message map: a static table of entries, each binding one
// message (or one button's BN_CLICKED) to one handler method with typed
// arguments. CDialog looks a message up in the table of the most derived
// class; what no entry takes goes to CDialog's default handling.
//
//   class FlashDialog : public CDialog {
//     ...
//    protected:
//     std::span<const MessageMapEntry> GetMessageMap() const override;
//    private:
//     static const MessageMapEntry messageMap[];
//     void OnSysCommand(UINT nID, LPARAM lParam);
//     void OnFlash();
//   };
//
//   const MessageMapEntry FlashDialog::messageMap[] = {
//       BindSysCommand<&FlashDialog::OnSysCommand>(),
//       BindClicked<&FlashDialog::OnFlash>(IDC_FLASH),
//   };
//   std::span<const MessageMapEntry> FlashDialog::GetMessageMap() const { return messageMap; }
#include <windows.h>

class CDialog;

struct MessageMapEntry {
  UINT message;
  WORD notifyCode;  // WM_COMMAND only
  int controlId;    // WM_COMMAND only
  // Cracks the message's parameters, calls the handler and gives its result.
  LRESULT (*call)(CDialog& dialog, WPARAM wParam, LPARAM lParam);

  bool Matches(UINT msg, WPARAM wParam) const {
    if (msg != message) return false;
    if (msg != WM_COMMAND) return true;
    return LOWORD(wParam) == static_cast<WORD>(controlId) && HIWORD(wParam) == notifyCode;
  }
};

namespace message_map_detail {
template <class Handler>
struct HandlerClass;
template <class Dialog, class Result, class... Args>
struct HandlerClass<Result (Dialog::*)(Args...)> {
  using type = Dialog;
};
template <class Dialog, class Result, class... Args>
struct HandlerClass<Result (Dialog::*)(Args...) const> {
  using type = Dialog;
};
template <auto handler>
using DialogOf = typename HandlerClass<decltype(handler)>::type;
}  // namespace message_map_detail

// void OnClicked()
template <auto handler>
constexpr MessageMapEntry BindClicked(int controlId) {
  return {WM_COMMAND, BN_CLICKED, controlId, [](CDialog& dialog, WPARAM, LPARAM) -> LRESULT {
            (static_cast<message_map_detail::DialogOf<handler>&>(dialog).*handler)();
            return 0;
          }};
}

// void OnSysCommand(UINT nID, LPARAM lParam)
template <auto handler>
constexpr MessageMapEntry BindSysCommand() {
  return {WM_SYSCOMMAND, 0, 0, [](CDialog& dialog, WPARAM wParam, LPARAM lParam) -> LRESULT {
            (static_cast<message_map_detail::DialogOf<handler>&>(dialog).*handler)(static_cast<UINT>(wParam), lParam);
            return 0;
          }};
}

// void OnPaint()
template <auto handler>
constexpr MessageMapEntry BindPaint() {
  return {WM_PAINT, 0, 0, [](CDialog& dialog, WPARAM, LPARAM) -> LRESULT {
            (static_cast<message_map_detail::DialogOf<handler>&>(dialog).*handler)();
            return 0;
          }};
}

// HCURSOR OnQueryDragIcon()
template <auto handler>
constexpr MessageMapEntry BindQueryDragIcon() {
  return {WM_QUERYDRAGICON, 0, 0, [](CDialog& dialog, WPARAM, LPARAM) -> LRESULT {
            return reinterpret_cast<LRESULT>((static_cast<message_map_detail::DialogOf<handler>&>(dialog).*handler)());
          }};
}
