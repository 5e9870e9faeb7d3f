#include "testing/ui/ListView.h"

#include "testing/ui/RemoteBuffer.h"
#include "testing/ui/Windows.h"

#include <commctrl.h>

namespace uidriver {

// Room for the text that a row or column header may carry.
constexpr int kTextCapacity = 1024;

std::optional<int> ListItemCount(HWND list) {
  const auto count = Send(list, LVM_GETITEMCOUNT, 0, 0);
  if (!count) return std::nullopt;
  return static_cast<int>(*count);
}

std::optional<std::string> ListItemText(HWND list, int row, int subitem) {
  RemoteBuffer remote(list, sizeof(LVITEMA) + kTextCapacity);
  LVITEMA item{};
  item.iSubItem = subitem;
  item.pszText = reinterpret_cast<LPSTR>(remote.At(sizeof item));
  item.cchTextMax = kTextCapacity;
  if (!remote.Write(&item, sizeof item)) return std::nullopt;
  const auto length = Send(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), remote.At());
  if (!length) return std::nullopt;
  std::string text(kTextCapacity, '\0');
  if (!remote.Read(text.data(), text.size(), sizeof item)) return std::nullopt;
  text.resize(static_cast<std::size_t>(*length));
  return text;
}

std::optional<int> ListItemImage(HWND list, int row) {
  RemoteBuffer remote(list, sizeof(LVITEMA));
  LVITEMA item{};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  if (!remote.Write(&item, sizeof item)) return std::nullopt;
  const auto found = Send(list, LVM_GETITEMA, 0, remote.At());
  if (!found || !*found || !remote.Read(&item, sizeof item)) return std::nullopt;
  return item.iImage;
}

std::optional<int> ListSelectionMark(HWND list) {
  const auto mark = Send(list, LVM_GETSELECTIONMARK, 0, 0);
  if (!mark) return std::nullopt;
  return static_cast<int>(*mark);
}

std::optional<std::vector<int>> ListSelectedRows(HWND list) {
  std::vector<int> rows;
  int row = -1;
  for (;;) {
    const auto next = Send(list, LVM_GETNEXTITEM, static_cast<WPARAM>(row), MAKELPARAM(LVNI_SELECTED, 0));
    if (!next) return std::nullopt;
    if (static_cast<int>(*next) < 0) return rows;
    row = static_cast<int>(*next);
    rows.push_back(row);
  }
}

std::optional<int> ListColumnCount(HWND list) {
  const auto header = Send(list, LVM_GETHEADER, 0, 0);
  if (!header || !*header) return std::nullopt;
  const auto count = Send(reinterpret_cast<HWND>(*header), HDM_GETITEMCOUNT, 0, 0);
  if (!count) return std::nullopt;
  return static_cast<int>(*count);
}

std::optional<std::string> ListColumnText(HWND list, int column) {
  RemoteBuffer remote(list, sizeof(LVCOLUMNA) + kTextCapacity);
  LVCOLUMNA header{};
  header.mask = LVCF_TEXT;
  header.pszText = reinterpret_cast<LPSTR>(remote.At(sizeof header));
  header.cchTextMax = kTextCapacity;
  if (!remote.Write(&header, sizeof header)) return std::nullopt;
  const auto found = Send(list, LVM_GETCOLUMNA, static_cast<WPARAM>(column), remote.At());
  if (!found || !*found) return std::nullopt;
  std::string text(kTextCapacity, '\0');
  if (!remote.Read(text.data(), text.size(), sizeof header)) return std::nullopt;
  text.resize(text.find('\0'));
  return text;
}

std::optional<int> ListColumnWidth(HWND list, int column) {
  const auto width = Send(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0);
  if (!width) return std::nullopt;
  return static_cast<int>(*width);
}

std::optional<RECT> ListItemScreenRect(HWND list, int row) {
  RemoteBuffer remote(list, sizeof(RECT));
  RECT rect{};
  rect.left = LVIR_BOUNDS;
  if (!remote.Write(&rect, sizeof rect)) return std::nullopt;
  const auto found = Send(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), remote.At());
  if (!found || !*found || !remote.Read(&rect, sizeof rect)) return std::nullopt;
  MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

}  // namespace uidriver
