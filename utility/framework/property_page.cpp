#include "framework/property_page.h"

#include "framework/ansi_text.h"
#include "framework/property_sheet.h"

namespace kv::ui {

PropertyPage::PropertyPage(const DialogTemplate& dialogTemplate)
    : Dialog(dialogTemplate), caption_(fromAnsi(dialogTemplate.caption)) {
    hide();
}

PropertyPage::~PropertyPage() {
    if (sheet_) sheet_->forgetDestroyedPage(this);
}

}  // namespace kv::ui
