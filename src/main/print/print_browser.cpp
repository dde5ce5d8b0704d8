#include "print_browser.h"

namespace quandel {

void PrintBrowser(IWebBrowser* browser, IMessageBox& messages) {
  if (browser == nullptr) return;
  // Held by shared pointers, the document and its target are released on every way out.
  const std::shared_ptr<IHtmlDocument> document = browser->Document();
  if (!document) return;
  const std::shared_ptr<IOleCommandTarget> target = document->QueryCommandTarget();
  if (!target) return;

  OLECMD cmd;
  cmd.cmdID = OLECMDID_PRINT;
  cmd.cmdf = 0;
  if (target->QueryStatus(cmd) != S_OK || (cmd.cmdf & OLECMDF_ENABLED) == 0) {
    messages.ShowMessage(QString::fromUtf8(kPrintNotPossible));
    return;
  }

  TOleVariant out = EmptyParam;
  const HRESULT result = target->Exec(OLECMDID_PRINT, OLECMDEXECOPT_DONTPROMPTUSER, EmptyParam, out);
  if (result == S_OK) return;
  messages.ShowMessage(QString::fromUtf8(result == OLECMDERR_E_CANCELED ? kPrintCancelled : kPrintFailed));
}

}  // namespace quandel
