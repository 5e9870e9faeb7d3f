#pragma once
// The About box: template 100 with the framework's default OK/Enter/Escape.
#include "framework/CDialog.h"
#include "resources/resource.h"

class AboutDialog : public CDialog {
 public:
  AboutDialog() : CDialog(IDD_ABOUT_DIALOG) {}
};
