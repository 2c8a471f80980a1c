#include "wizard/setup_wizard.h"

#include "app/globals.h"
#include "app/text_util.h"
#include "install/install_logic.h"

// The wizard's pages arrive in a later change; until then the wizard is
// finished at once with the detected folder, or the default one when no
// product was found.
int RunSetupWizard(HWND, HINSTANCE) {
  if (g_installDir[0] == '\0')
    CopyBounded(kDefaultInstallDir, g_installDir, sizeof(g_installDir));
  return 1;
}
