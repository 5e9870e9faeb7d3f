#pragma once
// The application object: its start-up hook runs the main dialog and ends the
// program when the dialog closes.
#include "framework/CWinApp.h"

class FlashApp : public CWinApp {
 public:
  BOOL InitInstance() override;
};
