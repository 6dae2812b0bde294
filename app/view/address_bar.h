// The address box: an editable combo box whose drop-down holds the folder history. Only
// Return in the box or a choice in the open drop-down navigates; arrow keys and the wheel on
// the closed box only change its text.
#pragma once

#include <QComboBox>

namespace tnw::app {

class AddressCombo : public QComboBox {
    Q_OBJECT
public:
    explicit AddressCombo(QWidget* parent = nullptr);

    // Replaces the drop-down's entries (UTF-8 texts of the history, most recent first).
    void setEntries(const QStringList& entries);
    // Shows `text` without navigating.
    void showText(const QString& text);
    // Focus with the whole text selected (Ctrl+L, Alt+D).
    void focusAndSelect();

    void showPopup() override;
    void hidePopup() override;

signals:
    // Return was pressed in the box.
    void textEntered(const QString& text);
    // An entry was chosen in the open drop-down.
    void entryChosen(const QString& text);

private:
    bool m_popupChoice = false;
};

}  // namespace tnw::app
