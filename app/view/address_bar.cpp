#include "app/view/address_bar.h"

#include <QCompleter>
#include <QLineEdit>
#include <QTimer>

namespace tnw::app {

AddressCombo::AddressCombo(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setMinimumWidth(200);
    setMaxVisibleItems(16);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(20);
    completer()->setCaseSensitivity(Qt::CaseSensitive);
    completer()->setCompletionMode(QCompleter::PopupCompletion);
    lineEdit()->setClearButtonEnabled(false);

    connect(lineEdit(), &QLineEdit::returnPressed, this,
            [this] { emit textEntered(lineEdit()->text()); });
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (!m_popupChoice)
            return;
        m_popupChoice = false;
        emit entryChosen(itemText(index));
    });
}

void AddressCombo::setEntries(const QStringList& entries)
{
    const QString text = currentText();
    const QSignalBlocker block(this);
    clear();
    addItems(entries);
    setCurrentIndex(-1);
    setEditText(text);
}

void AddressCombo::showText(const QString& text)
{
    const QSignalBlocker block(this);
    setCurrentIndex(findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
    setEditText(text);
}

void AddressCombo::focusAndSelect()
{
    setFocus(Qt::ShortcutFocusReason);
    lineEdit()->selectAll();
}

void AddressCombo::showPopup()
{
    m_popupChoice = true;
    QComboBox::showPopup();
}

void AddressCombo::hidePopup()
{
    QComboBox::hidePopup();
    // A choice in the drop-down is reported right after it closes; after that the closed
    // box's keys and wheel no longer count as a choice.
    QTimer::singleShot(0, this, [this] { m_popupChoice = false; });
}

}  // namespace tnw::app
