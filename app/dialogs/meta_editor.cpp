#include "app/dialogs/meta_editor.h"

#include "app/core/text/cp932_validator.h"
#include "common/platform/qt_text.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tnw::app {

MetaEditor::MetaEditor(const OperationSettings& form, MetaKind kind, const std::string& text,
                       QWidget* parent)
    : QDialog(parent), m_form(form), m_kind(kind)
{
    setWindowTitle(QString::fromUtf8("メタ文字編集"));
    m_box = new QLineEdit(this);
    m_box->setObjectName("metaText");
    m_box->setValidator(new Cp932Validator(kMetaMaxBytes, "/", m_box));
    m_box->setText(platform::fromCp932(text));
    connect(m_box, &QLineEdit::inputRejected, this, [] { QApplication::beep(); });
    connect(m_box, &QLineEdit::textChanged, this, &MetaEditor::showPreview);

    m_preview = new QLabel(this);
    m_preview->setObjectName("metaPreview");
    m_preview->setFrameShape(QFrame::StyledPanel);
    m_preview->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_preview->setMinimumWidth(320);

    QStringList names = {QString::fromUtf8("&d.....ﾌｫﾙﾀﾞ名")};
    if (form.offersFileName(kind))
        names << QString::fromUtf8("&f.....ﾌｧｲﾙ名");
    const QStringList dates = {
        QString::fromUtf8("%y....作成日時の西暦年2桁"), QString::fromUtf8("%Y....作成日時の西暦年4桁"),
        QString::fromUtf8("%g.....作成日時の元号"), QString::fromUtf8("%m...作成日時の月"),
        QString::fromUtf8("%D....作成日時の日")};
    const QStringList times = {QString::fromUtf8("%h....作成日時の時"),
                               QString::fromUtf8("%t.....作成日時の分"),
                               QString::fromUtf8("%s....作成日時の秒")};
    const QStringList* entries[3] = {&names, &dates, &times};
    const char* labels[3] = {"名前", "年月日", "時刻"};
    const char* objectNames[3] = {"metaNames", "metaDates", "metaTimes"};

    auto* layout = new QFormLayout;
    auto* boxLabel = new QLabel(QString::fromUtf8("設定文字列"), this);
    boxLabel->setBuddy(m_box);
    layout->addRow(boxLabel, m_box);
    auto* previewLabel = new QLabel(QString::fromUtf8("表示ｲﾒｰｼﾞ"), this);
    layout->addRow(previewLabel, m_preview);
    for (int i = 0; i < 3; ++i) {
        auto* list = new QComboBox(this);
        list->setObjectName(objectNames[i]);
        list->addItems(*entries[i]);
        list->setCurrentIndex(-1);
        m_lists[i] = list;
        connect(list, &QComboBox::activated, this,
                [this, list](int index) { insertCode(list, index); });
        auto* label = new QLabel(QString::fromUtf8(labels[i]), this);
        label->setBuddy(list);
        layout->addRow(label, list);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QString::fromUtf8("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(layout);
    outer->addWidget(buttons);
    showPreview();
}

std::string MetaEditor::text() const
{
    std::string bytes;
    platform::toCp932(m_box->text(), bytes);
    return bytes;
}

void MetaEditor::insertCode(QComboBox* list, int index)
{
    const QString entry = list->itemText(index);
    list->setCurrentIndex(-1);  // back to "no selection" for the next insertion
    const qsizetype dot = entry.indexOf('.');
    if (dot <= 0)
        return;
    const QString code = entry.left(dot);
    const int at = m_box->cursorPosition();
    QString next = m_box->text();
    next.insert(at, code);
    const auto* validator = static_cast<const Cp932Validator*>(m_box->validator());
    if (!validator->accepts(next)) {
        QApplication::beep();
        return;
    }
    m_box->setText(next);
    m_box->setCursorPosition(at + int(code.size()));
    m_box->setFocus();
}

void MetaEditor::showPreview()
{
    m_preview->setText(platform::fromCp932(m_form.preview(m_kind, text())));
}

}  // namespace tnw::app
