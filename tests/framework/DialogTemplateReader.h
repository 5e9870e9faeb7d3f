#pragma once
// Reads a dialog template (classic DLGTEMPLATE or extended DLGTEMPLATEEX) as
// the resource compiler wrote it, so tests can compare it field by field.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// A field that holds either a UTF-16 text or a 16-bit ordinal (0xFFFF, n).
struct TextOrOrdinal {
  std::u16string text;
  int ordinal = -1;  // -1: a text
};

struct DialogItemTemplate {
  DWORD style = 0;
  DWORD exStyle = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  int id = 0;
  TextOrOrdinal windowClass;
  TextOrOrdinal title;
};

struct DialogTemplateData {
  bool extended = false;
  DWORD style = 0;
  DWORD exStyle = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  TextOrOrdinal menu;
  TextOrOrdinal windowClass;
  std::u16string title;
  WORD pointSize = 0;
  WORD weight = 0;
  BYTE italic = 0;
  BYTE charset = 0;
  std::u16string typeface;
  std::vector<DialogItemTemplate> items;
};

DialogTemplateData ReadDialogTemplate(const void* data, size_t size);
