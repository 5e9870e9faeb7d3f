// Which standard icon a message box shows. Under Windows the box's icon
// static holds the very handle that LoadIcon(NULL, IDI_...) gives every
// process, so comparing handles is enough. Under Wine every process loads its
// own copy of a standard icon, and icon handles of another process cannot be
// read, so the driver compares pictures instead: it copies the icon static's
// pixels from the screen and draws each standard icon at the same size on
// the same background; the icon whose picture matches is the one shown.
// A box without an icon has an empty icon static (STM_GETICON answers 0).
#include "testing/ui/MessageBoxes.h"
#include "testing/ui/Protocol.h"
#include "testing/ui/Windows.h"

#include <cstdint>
#include <cstdio>
#include <optional>

namespace uidriver {
namespace {

struct StandardIcon {
  const char* name;
  LPCSTR id;
};
const StandardIcon kStandardIcons[] = {
    {"information", IDI_INFORMATION},
    {"stop", IDI_HAND},
    {"exclamation", IDI_EXCLAMATION},
    {"question", IDI_QUESTION},
};

// A 32-bit top-down picture held in a DIB section selected into a memory DC.
class Picture {
 public:
  Picture(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    if (dc_ && bitmap_) previous_ = SelectObject(dc_, bitmap_);
  }
  ~Picture() {
    if (previous_) SelectObject(dc_, previous_);
    if (bitmap_) DeleteObject(bitmap_);
    if (dc_) DeleteDC(dc_);
  }
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  bool Valid() const { return bits_ != nullptr && previous_ != nullptr; }
  HDC Dc() const { return dc_; }
  std::uint32_t Pixel(int x, int y) const {
    GdiFlush();
    return bits_[y * width_ + x] & 0xFFFFFF;
  }
  void Fill(std::uint32_t colour) {
    GdiFlush();
    for (int i = 0; i < width_ * height_; ++i) bits_[i] = colour;
  }
  int CountDifferences(const Picture& other) const {
    int differences = 0;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) differences += Pixel(x, y) != other.Pixel(x, y);
    return differences;
  }

 private:
  int width_;
  int height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  std::uint32_t* bits_ = nullptr;
};

bool CopyFromScreen(Picture& picture, const RECT& area) {
  HDC screen = GetDC(nullptr);
  if (!screen) return false;
  const BOOL copied = BitBlt(picture.Dc(), 0, 0, area.right - area.left, area.bottom - area.top, screen, area.left,
                             area.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  return copied != FALSE;
}

std::optional<const char*> SameHandle(HICON shown) {
  for (const StandardIcon& icon : kStandardIcons)
    if (LoadIconA(nullptr, icon.id) == shown) return icon.name;
  return std::nullopt;
}

}  // namespace

IconReading RecogniseMessageBoxIcon(HWND box, unsigned timeout_ms) {
  IconReading reading{"unknown", {}};
  HWND control = MessageBoxIconControl(box);
  if (!control || !IsWindowVisible(control)) return {"none", {"the box has no visible icon static"}};
  const auto shown = Send(control, STM_GETICON, 0, 0);
  if (!shown) return {"unknown", {"the icon static does not answer STM_GETICON"}};
  if (!*shown) return {"none", {"the icon static holds no icon"}};
  if (const auto same = SameHandle(reinterpret_cast<HICON>(*shown))) return {*same, {"same handle"}};

  RECT area{};
  GetClientRect(control, &area);
  MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&area), 2);
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return {"none", {"the icon static has no area"}};

  // The box may not be painted yet when it first appears: look until one
  // standard icon matches exactly or the time is up.
  WaitUntil(timeout_ms, [&] {
    reading.details.clear();
    Picture screen(width, height);
    if (!screen.Valid() || !CopyFromScreen(screen, area)) {
      reading.details.push_back("cannot copy the screen");
      return false;
    }
    const std::uint32_t background = screen.Pixel(0, 0);
    for (const StandardIcon& icon : kStandardIcons) {
      Picture drawn(width, height);
      if (!drawn.Valid()) continue;
      drawn.Fill(background);
      DrawIconEx(drawn.Dc(), 0, 0, LoadIconA(nullptr, icon.id), width, height, 0, nullptr, DI_NORMAL);
      const int differences = screen.CountDifferences(drawn);
      char line[96];
      std::snprintf(line, sizeof line, "%s: %d of %d pixels differ", icon.name, differences, width * height);
      reading.details.push_back(line);
      if (differences == 0) {
        reading.name = icon.name;
        return true;
      }
    }
    return false;
  });
  return reading;
}

}  // namespace uidriver
