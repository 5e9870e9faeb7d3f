// List views: rows, selection, columns, and clicking a row.
#include "testing/ui/Commands.h"
#include "testing/ui/Input.h"
#include "testing/ui/ListView.h"
#include "testing/ui/Windows.h"

namespace uidriver {
namespace {

// How long a clicked row may take to become the selection mark.
constexpr unsigned kClickEffectMs = 3000;

Answer NoAnswer(HWND list) { return Answer::Error("list view " + FormatHandle(list) + " does not answer"); }

Answer NumberOrNoAnswer(HWND list, std::optional<int> value) {
  return value ? Answer::Ok(Number(*value)) : NoAnswer(list);
}

std::string JoinNumbers(const std::vector<int>& numbers) {
  std::string text;
  for (int number : numbers) text += (text.empty() ? "" : " ") + Number(number);
  return text;
}

Answer Count(Session&, Words& words) {
  return OnControl(words, [](HWND list) { return NumberOrNoAnswer(list, ListItemCount(list)); });
}

Answer RowText(Session&, Words& words) {
  return OnControl(words, [&](HWND list) {
    const auto row = words.NextNumber();
    const auto subitem = words.Empty() ? std::optional<long long>(0) : words.NextNumber();
    if (!row || !subitem) return Usage("list-text HWND ID ROW [SUBITEM]");
    const auto count = ListItemCount(list);
    if (!count) return NoAnswer(list);
    if (*row < 0 || *row >= *count)
      return Answer::Error("no row " + Number(*row) + ": the list has " + Number(*count) + " rows");
    const auto text = ListItemText(list, static_cast<int>(*row), static_cast<int>(*subitem));
    return text ? Answer::Ok(*text) : NoAnswer(list);
  });
}

Answer RowImage(Session&, Words& words) {
  return OnControl(words, [&](HWND list) {
    const auto row = words.NextNumber();
    if (!row) return Usage("list-image HWND ID ROW");
    const auto image = ListItemImage(list, static_cast<int>(*row));
    return image ? Answer::Ok(Number(*image)) : Answer::Error("no row " + Number(*row));
  });
}

Answer Mark(Session&, Words& words) {
  return OnControl(words, [](HWND list) { return NumberOrNoAnswer(list, ListSelectionMark(list)); });
}

Answer Selected(Session&, Words& words) {
  return OnControl(words, [](HWND list) {
    const auto rows = ListSelectedRows(list);
    return rows ? Answer::Ok(JoinNumbers(*rows)) : NoAnswer(list);
  });
}

Answer Columns(Session&, Words& words) {
  return OnControl(words, [](HWND list) {
    const auto count = ListColumnCount(list);
    return count ? Answer::Ok(Number(*count)) : Answer::Error("the list view has no header");
  });
}

Answer ColumnText(Session&, Words& words) {
  return OnControl(words, [&](HWND list) {
    const auto column = words.NextNumber();
    if (!column) return Usage("list-column HWND ID COLUMN");
    const auto text = ListColumnText(list, static_cast<int>(*column));
    return text ? Answer::Ok(*text) : Answer::Error("no column " + Number(*column));
  });
}

Answer ColumnWidth(Session&, Words& words) {
  return OnControl(words, [&](HWND list) {
    const auto column = words.NextNumber();
    if (!column) return Usage("list-column-width HWND ID COLUMN");
    return NumberOrNoAnswer(list, ListColumnWidth(list, static_cast<int>(*column)));
  });
}

Answer ClickRow(Session&, Words& words) {
  return OnControl(words, [&](HWND list) {
    const auto row = words.NextNumber();
    if (!row) return Usage("click-row HWND ID ROW");
    // A list may still be filling, or too busy to answer, just after its
    // window shows: give the row the same time a click gets to take effect.
    std::optional<RECT> rect;
    if (!WaitUntil(kClickEffectMs, [&] { return (rect = ListItemScreenRect(list, static_cast<int>(*row))).has_value(); })) {
      const auto count = ListItemCount(list);
      if (!count) return NoAnswer(list);
      return Answer::Error("no row " + Number(*row) + ": the list has " + Number(*count) + " rows");
    }
    // Aim inside the part of the row that the list shows.
    RECT client{};
    GetClientRect(list, &client);
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&client), 2);
    RECT visible{};
    if (!IntersectRect(&visible, &*rect, &client))
      return Answer::Error("row " + Number(*row) + " is scrolled out of view");
    if (!ClickAt(CenterOf(visible))) return Answer::Error("SendInput refused the click");
    if (WaitUntil(kClickEffectMs, [&] { return ListSelectionMark(list) == static_cast<int>(*row); }))
      return Answer::Ok();
    const auto mark = ListSelectionMark(list);
    return Answer::Error("after the click the selection mark is " + (mark ? Number(*mark) : std::string("unknown")) +
                         ", not " + Number(*row));
  });
}

constexpr Command kCommands[] = {
    {"list-count", "list-count HWND ID   -> number of rows (LVM_GETITEMCOUNT)", Count},
    {"list-text", "list-text HWND ID ROW [SUBITEM]   -> the row's text (LVM_GETITEMTEXTA)", RowText},
    {"list-image", "list-image HWND ID ROW   -> the row's image index", RowImage},
    {"list-mark", "list-mark HWND ID   -> selection mark, -1 for none (LVM_GETSELECTIONMARK)", Mark},
    {"list-selected", "list-selected HWND ID   -> selected rows, separated by blanks", Selected},
    {"list-columns", "list-columns HWND ID   -> number of columns", Columns},
    {"list-column", "list-column HWND ID COLUMN   -> the column's header text", ColumnText},
    {"list-column-width", "list-column-width HWND ID COLUMN   -> the column's width in pixels", ColumnWidth},
    {"click-row", "click-row HWND ID ROW   -> real click on the row; ok once it is the selection mark", ClickRow},
};

}  // namespace

std::span<const Command> ListCommands() { return kCommands; }

}  // namespace uidriver
