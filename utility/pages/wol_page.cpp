#include "pages/wol_page.h"

#include <QLineEdit>
#include <QValidator>
#include <array>

#include "framework/ip_address_control.h"
#include "kv/jobs/ethernet_address.h"
#include "kv/jobs/wake_on_lan.h"
#include "pages/page_guard.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"
#include "session/page_services.h"

namespace kv::diag {

namespace ctl = res::ctl;

namespace {

// The radio button of each method, in method order.
constexpr std::array<int, 3> kMethodRadios = {ctl::kWolByEthernet, ctl::kWolByIp, ctl::kWolByNetBios};

// An edit's length limit when none is set.
constexpr int kEditDefaultLength = 32767;

// The Ethernet address field takes hexadecimal digits only, twelve at most; a pasted address in a
// common spelling ("00-1D-7A-44-50-99", "00:1D:...") keeps its digits, the caret after the same
// digits it followed.
class EthernetAddressValidator : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int& pos) const override {
        const auto digits = jobs::ethernetAddressDigits(input.toStdString());
        if (!digits) return Invalid;
        const auto before = jobs::ethernetAddressDigits(input.left(pos).toStdString());
        input = QString::fromStdString(*digits);
        pos = before ? static_cast<int>(before->size()) : static_cast<int>(input.size());
        return Acceptable;
    }
};

}  // namespace

CWOLPage::CWOLPage(PageServices& services) : ui::PropertyPage(wakeOnLanDialog()), services_(services) {}

bool CWOLPage::onInitDialog() {
    if (auto* field = control<QLineEdit>(ctl::kWolEthernetAddress)) {
        // The validator holds the field to twelve digits; the edit's own limit would cut a pasted
        // address with separators before the validator saw it.
        field->setMaxLength(kEditDefaultLength);
        field->setValidator(new EthernetAddressValidator(field));
    }
    return ui::PropertyPage::onInitDialog();
}

bool CWOLPage::onSetActive() {
    if (checkAdapter(services_) != AdapterAccess::Ready) return true;
    return ui::PropertyPage::onSetActive();
}

bool CWOLPage::onKillActive() {
    if (checkAdapter(services_) != AdapterAccess::Ready) return true;
    return ui::PropertyPage::onKillActive();
}

void CWOLPage::onCommand(int id, int notification) {
    if (notification == ui::notify::kClicked) {
        if (id == ctl::kWolWakeUp) return wakeUp();
        for (size_t m = 0; m < kMethodRadios.size(); ++m)
            if (id == kMethodRadios[m]) return chooseMethod(static_cast<Method>(m));
        return;
    }
    if (notification != ui::notify::kChange) return;
    // Typing into a field chooses its method.
    if (id == ctl::kWolEthernetAddress) {
        chooseMethod(kByEthernetAddress);
        upperCaseEthernetAddress();
    } else if (id == ctl::kWolIpAddress) {
        chooseMethod(kByIpAddress);
    } else if (id == ctl::kWolNetBiosName) {
        chooseMethod(kByNetBiosName);
    }
}

void CWOLPage::chooseMethod(Method method) {
    method_ = method;
    checkRadioButton(kMethodRadios.front(), kMethodRadios.back(), kMethodRadios[static_cast<size_t>(method)]);
}

void CWOLPage::upperCaseEthernetAddress() {
    auto* field = control<QLineEdit>(ctl::kWolEthernetAddress);
    if (!field) return;
    const QString upper = field->text().toUpper();
    // Setting the same text again would only notify another change.
    if (upper != field->text()) field->setText(upper);
    field->setCursorPosition(static_cast<int>(field->text().size()));
    ethernetAddress_ = upper;
}

void CWOLPage::takeControlValues() {
    method_ = kNoMethod;
    for (size_t m = 0; m < kMethodRadios.size(); ++m)
        if (isChecked(kMethodRadios[m])) method_ = static_cast<Method>(m);
    ethernetAddress_ = controlText(ctl::kWolEthernetAddress);
    netBiosName_ = controlText(ctl::kWolNetBiosName);
}

void CWOLPage::wakeUp() {
    if (checkAdapter(services_) != AdapterAccess::Ready) return;
    takeControlValues();
    switch (method_) {
        case kByEthernetAddress:
            // Only a complete address is woken: a short or mistyped one would wake nobody, or
            // another computer (see parseEthernetAddress). The page reports nothing either way.
            if (const auto address = jobs::parseEthernetAddress(ethernetAddress_.toStdString()))
                jobs::sendMagicPacket(*address);
            break;
        case kByIpAddress: {
            std::array<uint8_t, 4> ip{};
            if (auto* field = control<ui::IpAddressControl>(ctl::kWolIpAddress)) field->address(ip);
            jobs::startPing(QString::asprintf("%d.%d.%d.%d", ip[0], ip[1], ip[2], ip[3]).toStdU16String());
            break;
        }
        case kByNetBiosName:
            jobs::startPing(netBiosName_.toStdU16String());
            break;
        case kNoMethod:
            break;
    }
}

}  // namespace kv::diag
