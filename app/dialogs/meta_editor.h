// The meta-character editor "メタ文字編集": the template of one output name in a box of at most
// 79 code page 932 bytes (no "/": a template names one path component), its preview under it,
// and three lists that insert their codes at the caret.
#pragma once

#include "app/core/run/operation_settings.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;

namespace tnw::app {

class MetaEditor : public QDialog {
    Q_OBJECT
public:
    MetaEditor(const OperationSettings& form, MetaKind kind, const std::string& text,
               QWidget* parent = nullptr);

    // The template as edited (code page 932).
    std::string text() const;

    QLineEdit* box() const { return m_box; }
    QComboBox* list(int i) const { return m_lists[i]; }
    QLabel* previewLabel() const { return m_preview; }

private:
    void insertCode(QComboBox* list, int index);
    void showPreview();

    const OperationSettings& m_form;
    MetaKind m_kind;
    QLineEdit* m_box;
    QLabel* m_preview;
    QComboBox* m_lists[3] = {};
};

}  // namespace tnw::app
