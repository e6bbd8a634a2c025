// The "Wake On LAN" page: wakes another computer on the LAN by its Ethernet address (a magic
// packet through the selected adapter), by its IPv4 address or by its NetBIOS name (one ping,
// whose address resolution or name query reaches the sleeping computer's adapter).
#pragma once

#include <QString>

#include "framework/property_page.h"

namespace kv::diag {

class PageServices;

class CWOLPage : public ui::PropertyPage {
    Q_OBJECT

public:
    // How the computer is found; none until the user chooses.
    enum Method : int { kNoMethod = -1, kByEthernetAddress = 0, kByIpAddress = 1, kByNetBiosName = 2 };

    explicit CWOLPage(PageServices& services);

    bool onSetActive() override;
    bool onKillActive() override;

protected:
    bool onInitDialog() override;
    void onCommand(int id, int notification) override;

private:
    void chooseMethod(Method method);
    void upperCaseEthernetAddress();
    void takeControlValues();
    void wakeUp();

    PageServices& services_;
    Method method_ = kNoMethod;
    QString ethernetAddress_;
    QString netBiosName_;
};

}  // namespace kv::diag
