#pragma once
// Reading a list view of another process: rows, selection, columns, rectangles.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace uidriver {

std::optional<int> ListItemCount(HWND list);
std::optional<std::string> ListItemText(HWND list, int row, int subitem);
std::optional<int> ListItemImage(HWND list, int row);
std::optional<int> ListSelectionMark(HWND list);
std::optional<std::vector<int>> ListSelectedRows(HWND list);
std::optional<int> ListColumnCount(HWND list);
std::optional<std::string> ListColumnText(HWND list, int column);
std::optional<int> ListColumnWidth(HWND list, int column);
// The row's whole rectangle in screen coordinates.
std::optional<RECT> ListItemScreenRect(HWND list, int row);

}  // namespace uidriver
