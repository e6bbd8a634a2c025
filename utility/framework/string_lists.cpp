#include "framework/string_lists.h"

namespace kv::ui {

namespace {
constexpr int kDataRole = Qt::UserRole + 1;
}

int sortedInsertPosition(int count, const std::function<QString(int)>& textAt, const QString& text) {
    int position = count;
    for (int i = 0; i < count; ++i) {
        if (QString::compare(text, textAt(i), Qt::CaseInsensitive) < 0) {
            position = i;
            break;
        }
    }
    return position;
}

ListBox::ListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::currentRowChanged, this, [this](int) {
        if (!quiet_) emit selectionChangedByUser();
    });
}

int ListBox::addString(const QString& value) {
    const int position = sorted_ ? sortedInsertPosition(
                                       count(), [this](int i) { return text(i); }, value)
                                 : count();
    const QSignalBlocker block(this);
    insertItem(position, value);
    item(position)->setData(kDataRole, QVariant::fromValue<qint64>(0));
    return position;
}

void ListBox::resetContent() {
    quiet_ = true;
    clear();
    quiet_ = false;
}

QString ListBox::text(int index) const {
    const QListWidgetItem* entry = item(index);
    return entry ? entry->text() : QString();
}

void ListBox::setItemData(int index, intptr_t data) {
    if (QListWidgetItem* entry = item(index)) entry->setData(kDataRole, QVariant::fromValue<qint64>(data));
}

intptr_t ListBox::itemData(int index) const {
    const QListWidgetItem* entry = item(index);
    return entry ? static_cast<intptr_t>(entry->data(kDataRole).toLongLong()) : -1;
}

void ListBox::setCurrentSelection(int index) {
    quiet_ = true;
    setCurrentRow(index);
    quiet_ = false;
}

ComboBox::ComboBox(QWidget* parent) : QComboBox(parent) { setEditable(false); }

int ComboBox::addString(const QString& value) {
    const int position = sorted_ ? sortedInsertPosition(
                                       count(), [this](int i) { return itemText(i); }, value)
                                 : count();
    const QSignalBlocker block(this);
    insertItem(position, value, QVariant::fromValue<qint64>(0));
    if (position == 0 && currentIndex() == 0 && count() == 1) setCurrentIndex(-1);
    return position;
}

void ComboBox::setItemDataValue(int index, intptr_t data) { setItemData(index, QVariant::fromValue<qint64>(data)); }

intptr_t ComboBox::itemDataValue(int index) const {
    const QVariant data = itemData(index);
    return data.isValid() ? static_cast<intptr_t>(data.toLongLong()) : -1;
}

}  // namespace kv::ui
