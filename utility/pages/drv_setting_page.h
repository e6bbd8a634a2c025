// The "Driver::Advanced Setting" page: the network driver's advanced properties as its
// installation describes them, a value control for the chosen one, and "Modify", which writes
// every property back into the driver key and reloads the driver.
#pragma once

#include <QString>
#include <vector>

#include "framework/property_page.h"
#include "kv/jobs/advanced_settings.h"

namespace kv::ui {
class ComboBox;
class ListBox;
}  // namespace kv::ui

namespace kv::diag {

class PageServices;
using jobs::CDrvParam;

class CDrvSettingPage : public ui::PropertyPage {
    Q_OBJECT

public:
    // The driver takes this long to come back after its reload.
    static constexpr uint32_t kReloadWaitMs = jobs::kReloadWaitMs;

    explicit CDrvSettingPage(PageServices& services);

    bool onSetActive() override;
    bool onKillActive() override;

    // The properties read at the last activation, in registry order.
    const std::vector<CDrvParam>& properties() const { return params_; }

protected:
    bool onInitDialog() override;
    void onCommand(int id, int notification) override;

private:
    enum RadioState : int { kHasValue = 0, kNotPresent = 1 };

    ui::ListBox* propertyList() const;
    void placeValueControls();
    void fitToLongestValue(ui::ComboBox& combo) const;
    void clearProperties();
    void loadProperties();
    void switchProperty();
    void storeControls(CDrvParam& param);
    void showProperty(const CDrvParam& param);
    void showValueControls(bool enumeration, bool number, bool text);
    void chooseNotPresent();
    void chooseHasValue();
    void textEdited();
    // The page's numeric value, text and radio state into the controls.
    void pushValues();
    void modify();

    PageServices& services_;
    std::vector<CDrvParam> params_;
    int current_ = -1;
    int number_ = 0;
    int valueWidth_ = 0;  // the value controls' placed width
    QString text_;
    int radioState_ = kHasValue;
    // Set while the page itself writes into the controls: such changes are not the user typing.
    bool pushingValues_ = false;
};

}  // namespace kv::diag
