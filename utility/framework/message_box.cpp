#include "framework/message_box.h"

#include <QCoreApplication>
#include <atomic>
#include <memory>
#include <mutex>

#include "framework/ui_thread.h"

namespace kv::ui {

namespace {

std::u16string toUtf16(const QString& text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size()));
}

QString fromUtf16(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::mutex& settingsMutex() {
    static std::mutex mutex;
    return mutex;
}

QString& caption() {
    static QString value;
    return value;
}

QtMessageBoxes::Answerer& answerer() {
    static QtMessageBoxes::Answerer value;
    return value;
}

constexpr uint32_t kButtonMask = 0xF;
constexpr uint32_t kIconMask = 0xF0;
// The button sets beyond those the suite names.
constexpr uint32_t kAbortRetryIgnore = 0x2;
constexpr uint32_t kYesNoCancel = 0x3;
constexpr uint32_t kRetryCancel = 0x5;
constexpr int kIdAbort = 3;
constexpr int kIdRetry = 4;
constexpr int kIdIgnore = 5;

QMessageBox::StandardButton show(const QString& text, const QString& title, uint32_t flags) {
    QMessageBox box(QtMessageBoxes::iconOf(flags), title, text, QtMessageBoxes::buttonsOf(flags));
    QtMessageBoxes::Answerer answer;
    {
        std::lock_guard lock(settingsMutex());
        answer = answerer();
    }
    if (answer) return answer(box);
    box.exec();
    return box.standardButton(box.clickedButton());
}

}  // namespace

int messageBox(const QString& text, const QString& title, uint32_t flags) {
    return platform::messageBoxes().show(toUtf16(text), toUtf16(title), flags);
}

int messageBox(const QString& text, uint32_t flags) { return messageBox(text, messageBoxCaption(), flags); }

void setMessageBoxCaption(const QString& text) {
    std::lock_guard lock(settingsMutex());
    caption() = text;
}

QString messageBoxCaption() {
    std::lock_guard lock(settingsMutex());
    return caption().isEmpty() ? QCoreApplication::applicationName() : caption();
}

void QtMessageBoxes::install() { platform::setMessageBoxPresenter(&QtMessageBoxes::present); }
void QtMessageBoxes::uninstall() { platform::setMessageBoxPresenter(nullptr); }

void QtMessageBoxes::setAnswerer(Answerer value) {
    std::lock_guard lock(settingsMutex());
    answerer() = std::move(value);
}

int QtMessageBoxes::present(std::u16string_view text, std::u16string_view title, uint32_t flags) {
    // A worker's box: shown on the user-interface thread while the worker waits here. The box's
    // texts and its answer live on the heap, shared by value, so that the user-interface thread
    // never reaches into the waiting worker's stack; the answer crosses back as an atomic.
    struct Box {
        QString text;
        QString title;
        std::atomic<int> pressed{QMessageBox::NoButton};
    };
    const auto box = std::make_shared<Box>();
    box->text = fromUtf16(text);
    box->title = fromUtf16(title);
    runOnUiThread([box, flags] { box->pressed = show(box->text, box->title, flags); });
    return idOf(static_cast<QMessageBox::StandardButton>(box->pressed.load()), flags);
}

QMessageBox::StandardButtons QtMessageBoxes::buttonsOf(uint32_t flags) {
    switch (flags & kButtonMask) {
        case mb::kOkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case kAbortRetryIgnore:
            return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
        case kYesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case mb::kYesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case kRetryCancel:
            return QMessageBox::Retry | QMessageBox::Cancel;
        default:
            return QMessageBox::Ok;
    }
}

QMessageBox::Icon QtMessageBoxes::iconOf(uint32_t flags) {
    switch (flags & kIconMask) {
        case mb::kIconError:
            return QMessageBox::Critical;
        case mb::kIconQuestion:
            return QMessageBox::Question;
        case mb::kIconExclamation:
            return QMessageBox::Warning;
        case mb::kIconInformation:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

int QtMessageBoxes::idOf(QMessageBox::StandardButton button, uint32_t flags) {
    switch (button) {
        case QMessageBox::Ok:
            return mb::kIdOk;
        case QMessageBox::Cancel:
            return mb::kIdCancel;
        case QMessageBox::Abort:
            return kIdAbort;
        case QMessageBox::Retry:
            return kIdRetry;
        case QMessageBox::Ignore:
            return kIdIgnore;
        case QMessageBox::Yes:
            return mb::kIdYes;
        case QMessageBox::No:
            return mb::kIdNo;
        default:
            // Closed without a button: Cancel where the box has one, else its only answer.
            if (buttonsOf(flags) & QMessageBox::Cancel) return mb::kIdCancel;
            return (flags & kButtonMask) == mb::kYesNo ? mb::kIdNo : mb::kIdOk;
    }
}

}  // namespace kv::ui
