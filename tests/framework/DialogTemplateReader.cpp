#include "tests/framework/DialogTemplateReader.h"

#include <cstring>
#include <stdexcept>

namespace {

class Cursor {
 public:
  Cursor(const void* data, size_t size) : base_(static_cast<const uint8_t*>(data)), size_(size) {}

  template <class T>
  T Read() {
    Need(sizeof(T));
    T value;
    std::memcpy(&value, base_ + offset_, sizeof(T));
    offset_ += sizeof(T);
    return value;
  }

  std::u16string ReadText() {
    std::u16string text;
    for (char16_t c = Read<char16_t>(); c != 0; c = Read<char16_t>()) text += c;
    return text;
  }

  TextOrOrdinal ReadTextOrOrdinal() {
    TextOrOrdinal field;
    char16_t first = Read<char16_t>();
    if (first == 0xFFFF) {
      field.ordinal = Read<WORD>();
    } else if (first != 0) {
      field.text = first + ReadText();
    }
    return field;
  }

  void AlignToDword() { offset_ = (offset_ + 3) & ~size_t{3}; }
  void Skip(size_t count) {
    Need(count);
    offset_ += count;
  }

 private:
  void Need(size_t count) const {
    if (offset_ + count > size_) throw std::runtime_error("dialog template ends early");
  }

  const uint8_t* base_;
  size_t size_;
  size_t offset_ = 0;
};

}  // namespace

DialogTemplateData ReadDialogTemplate(const void* data, size_t size) {
  Cursor in(data, size);
  DialogTemplateData dialog;
  WORD count = 0;
  const WORD* words = static_cast<const WORD*>(data);
  dialog.extended = size >= 4 && words[0] == 1 && words[1] == 0xFFFF;
  if (dialog.extended) {
    in.Skip(4);
    in.Read<DWORD>();  // help id
    dialog.exStyle = in.Read<DWORD>();
    dialog.style = in.Read<DWORD>();
  } else {
    dialog.style = in.Read<DWORD>();
    dialog.exStyle = in.Read<DWORD>();
  }
  count = in.Read<WORD>();
  dialog.x = in.Read<short>();
  dialog.y = in.Read<short>();
  dialog.cx = in.Read<short>();
  dialog.cy = in.Read<short>();
  dialog.menu = in.ReadTextOrOrdinal();
  dialog.windowClass = in.ReadTextOrOrdinal();
  dialog.title = in.ReadText();
  if (dialog.style & DS_SETFONT) {
    dialog.pointSize = in.Read<WORD>();
    if (dialog.extended) {
      dialog.weight = in.Read<WORD>();
      dialog.italic = in.Read<BYTE>();
      dialog.charset = in.Read<BYTE>();
    }
    dialog.typeface = in.ReadText();
  }
  for (WORD i = 0; i < count; ++i) {
    in.AlignToDword();
    DialogItemTemplate item;
    if (dialog.extended) {
      in.Read<DWORD>();  // help id
      item.exStyle = in.Read<DWORD>();
      item.style = in.Read<DWORD>();
    } else {
      item.style = in.Read<DWORD>();
      item.exStyle = in.Read<DWORD>();
    }
    item.x = in.Read<short>();
    item.y = in.Read<short>();
    item.cx = in.Read<short>();
    item.cy = in.Read<short>();
    item.id = dialog.extended ? static_cast<int>(in.Read<DWORD>()) : in.Read<short>();
    item.windowClass = in.ReadTextOrOrdinal();
    item.title = in.ReadTextOrOrdinal();
    in.Skip(in.Read<WORD>());  // creation data
    dialog.items.push_back(item);
  }
  return dialog;
}
