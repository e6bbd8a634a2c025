#include "framework/property_page.h"

#include "framework/ansi_text.h"

namespace kv::ui {

PropertyPage::PropertyPage(const DialogTemplate& dialogTemplate)
    : Dialog(dialogTemplate), caption_(fromAnsi(dialogTemplate.caption)) {
    hide();
}

}  // namespace kv::ui
