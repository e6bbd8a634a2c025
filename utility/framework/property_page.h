// A page of a property sheet: a dialog with a caption (its template's, unless set), an optional
// icon of its own, and the set-active / kill-active steps the sheet runs when it activates and
// leaves the page. The standard steps (these base versions) accept.
#pragma once

#include <QIcon>

#include "framework/dialog.h"

namespace kv::ui {

class PropertySheet;

class PropertyPage : public Dialog {
    Q_OBJECT

public:
    explicit PropertyPage(const DialogTemplate& dialogTemplate);
    ~PropertyPage() override;

    QString caption() const { return caption_; }
    void setCaption(const QString& caption) { caption_ = caption; }
    // The page's own icon: the sheet puts it into its tab control's image list.
    bool hasOwnIcon() const { return !icon_.isNull(); }
    QIcon icon() const { return icon_; }
    void setIcon(const QIcon& icon) { icon_ = icon; }

    // The sheet the page is in; null while it is in none.
    PropertySheet* sheet() const { return sheet_; }

    // The page becomes the active one: true lets it, false refuses (the sheet keeps the page it
    // had). The standard step accepts.
    virtual bool onSetActive() { return true; }
    // The page is about to be left: false refuses (the page stays active).
    virtual bool onKillActive() { return true; }
    // The sheet is about to end while a worker the page started may still run: the page stops it
    // as its own Stop would, so that the worker ends with its clean-up. The standard step does
    // nothing.
    virtual void onSheetEnding() {}

private:
    friend class PropertySheet;
    QString caption_;
    QIcon icon_;
    PropertySheet* sheet_ = nullptr;
};

}  // namespace kv::ui
