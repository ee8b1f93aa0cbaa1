#include "ui/OrderToDialog.h"

#include "ui/MainDialog.h"

namespace rud {

void OpenMainDialogWithOrder(HWND owner, const SubmitOrder&) { (void)ShowMainDialog(owner); }

} // namespace rud
