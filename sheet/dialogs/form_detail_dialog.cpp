#include "sheet/dialogs/form_detail_dialog.h"

#include "common/platform/qt_text.h"
#include "sheet/dialogs/dialog_host.h"
#include "sheet/dialogs/form_table_model.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleValidator>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tnw::sheet {

using common::PaperForm;
using platform::MsgIcon;

namespace {

constexpr double kMaxLength = 9999.9;  // mm; the form file holds tenths in an int anyway
constexpr float kNewTolerance = 10.0f;

// A field's value; false when it holds no acceptable number.
bool valueOf(const QLineEdit* field, float& out)
{
    if (!field->hasAcceptableInput())
        return false;
    bool ok = false;
    const double v = QLocale::c().toDouble(field->text(), &ok);
    if (!ok)
        return false;
    out = float(v);
    return true;
}

void newFormMessage(const QString& text, MsgIcon icon = MsgIcon::Warning)
{
    sheetMessage("新規", text, platform::MsgButtons::Ok, icon);
}

}  // namespace

PaperForm FormDetailDialog::blankForm()
{
    PaperForm form;
    form.nUser = 1;
    form.nDefaultPrinter = 1;
    form.nNoLayout = 1;
    form.fx1 = form.fx2 = form.fy1 = form.fy2 = kNewTolerance;
    return form;
}

QLineEdit* FormDetailDialog::numberField(float value, bool editable)
{
    auto* field = new QLineEdit(lengthText(value), this);
    auto* validator = new QDoubleValidator(0.0, kMaxLength, 1, field);
    validator->setNotation(QDoubleValidator::StandardNotation);
    validator->setLocale(QLocale::c());
    field->setValidator(validator);
    field->setEnabled(editable);
    field->setAlignment(Qt::AlignRight);
    field->setMaximumWidth(fontMetrics().averageCharWidth() * 12);
    return field;
}

FormDetailDialog::FormDetailDialog(const PaperForm& form, Mode mode, const QStringList* printers,
                                   const FormTableModel& list, QWidget* parent)
    : QDialog(parent), m_form(form), m_mode(mode), m_list(list)
{
    setObjectName(QStringLiteral("FormDetailDialog"));
    setWindowTitle(mode == Mode::New ? QString::fromUtf8("新規登録")
                                     : QString::fromUtf8("用紙の詳細設定"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QFormLayout;
    layout->addLayout(top);

    m_name = new QLineEdit(formName(form), this);
    m_name->setObjectName(QStringLiteral("name"));
    m_name->setEnabled(mode == Mode::New);
    top->addRow(QString::fromUtf8("用紙サイズ名："), m_name);

    if (printers) {
        m_printerChoice = true;
        m_printers = *printers;
        m_printer = new QComboBox(this);
        m_printer->setObjectName(QStringLiteral("printer"));
        m_printer->addItem(QString::fromUtf8("(通常使うプリンタ)"));
        m_printer->addItems(m_printers);
        int current = 0;
        if (!form.szPrinter.empty()) {
            const QString stored = platform::fromCp932(form.szPrinter);
            int found = -1;
            for (int i = 0; i < m_printers.size() && found < 0; ++i) {
                if (m_printers[i].compare(stored, Qt::CaseInsensitive) == 0)
                    found = i;
            }
            if (found >= 0) {
                current = found + 1;
            } else {
                // A printer that is gone stays as an entry of its own, so the form keeps it.
                m_printer->addItem(stored);
                current = m_printer->count() - 1;
            }
        }
        m_printer->setCurrentIndex(current);
        top->addRow(QString::fromUtf8("プリンタ名："), m_printer);
    }

    const bool sizeEditable = mode != Mode::Standard;
    auto* sizeBox = new QGroupBox(QString::fromUtf8("用紙の寸法"), this);
    auto* sizeForm = new QFormLayout(sizeBox);
    m_width = numberField(form.fWidth, sizeEditable);
    m_width->setObjectName(QStringLiteral("width"));
    m_height = numberField(form.fHeight, sizeEditable);
    m_height->setObjectName(QStringLiteral("height"));
    if (mode == Mode::New) {
        m_width->clear();
        m_height->clear();
    }
    m_longer = new QComboBox(sizeBox);
    m_longer->setObjectName(QStringLiteral("longer"));
    m_longer->addItems({QString::fromUtf8("なし"), QString::fromUtf8("横長"),
                        QString::fromUtf8("縦長")});
    m_longer->setCurrentIndex(mode == Mode::User && form.nLonger >= 0 && form.nLonger <= 2
                                  ? form.nLonger
                                  : 0);
    m_longer->setEnabled(sizeEditable);
    sizeForm->addRow(QString::fromUtf8("横："), m_width);
    sizeForm->addRow(QString::fromUtf8("縦："), m_height);
    sizeForm->addRow(QString::fromUtf8("長尺："), m_longer);
    layout->addWidget(sizeBox);

    auto* tolBox = new QGroupBox(QString::fromUtf8("用紙決定の許容範囲"), this);
    auto* tolForm = new QFormLayout(tolBox);
    m_fx1 = numberField(form.fx1, true);
    m_fx1->setObjectName(QStringLiteral("fx1"));
    m_fx2 = numberField(form.fx2, true);
    m_fx2->setObjectName(QStringLiteral("fx2"));
    m_fy1 = numberField(form.fy1, true);
    m_fy1->setObjectName(QStringLiteral("fy1"));
    m_fy2 = numberField(form.fy2, true);
    m_fy2->setObjectName(QStringLiteral("fy2"));
    tolForm->addRow(QString::fromUtf8("-X："), m_fx1);
    tolForm->addRow(QString::fromUtf8("+X："), m_fx2);
    tolForm->addRow(QString::fromUtf8("-Y："), m_fy1);
    tolForm->addRow(QString::fromUtf8("+Y："), m_fy2);
    layout->addWidget(tolBox);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QString::fromUtf8("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &FormDetailDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void FormDetailDialog::accept()
{
    PaperForm edited = m_form;

    if (m_printerChoice) {
        const int choice = m_printer->currentIndex();
        if (choice <= 0) {
            edited.szPrinter.clear();
        } else {
            const QString chosen = m_printer->currentText();
            // Only an installed printer, or the one the form already had, can be chosen.
            const bool known = m_printers.contains(chosen) ||
                               chosen == platform::fromCp932(m_form.szPrinter);
            std::string cp932;
            if (!known || !platform::toCp932(chosen, cp932)) {
                newFormMessage(QString::fromUtf8("ｼｽﾃﾑｴﾗｰ"), MsgIcon::Error);
                return;
            }
            edited.szPrinter = chosen == platform::fromCp932(m_form.szPrinter) ? m_form.szPrinter
                                                                              : cp932;
        }
        edited.nDefaultPrinter = edited.szPrinter.empty() ? 1 : 0;
    }

    if (m_mode == Mode::New) {
        const QString name = m_name->text();
        switch (m_list.checkNewName(name)) {
        case NameCheck::Ok:
            break;
        case NameCheck::Empty:
            newFormMessage(QString::fromUtf8("用紙サイズ名を入力してください。"));
            return;
        case NameCheck::Duplicate:
            newFormMessage(name + QString::fromUtf8(" は登録済みです"));
            return;
        case NameCheck::Unstorable:
            newFormMessage(QString::fromUtf8("この用紙サイズ名は使えません。"));
            return;
        case NameCheck::ListFull:
            newFormMessage(QString::fromUtf8("これ以上用紙サイズを登録できません。"));
            return;
        }
        platform::toCp932(name, edited.szName);
        edited.nUser = 1;
    }

    if (m_mode != Mode::Standard) {
        float width = 0;
        float height = 0;
        if (!valueOf(m_width, width) || !valueOf(m_height, height) || !(width > 0) ||
            !(height > 0)) {
            newFormMessage(QString::fromUtf8("用紙の寸法を入力してください。"));
            return;
        }
        edited.fWidth = width;
        edited.fHeight = height;
        edited.nLonger = m_longer->currentIndex();
    }
    // An empty tolerance is no tolerance; one outside 0.0-9999.9 (a hostile form file) must be
    // put right before the form is taken.
    for (auto [field, value] : {std::pair{m_fx1, &edited.fx1}, std::pair{m_fx2, &edited.fx2},
                                std::pair{m_fy1, &edited.fy1}, std::pair{m_fy2, &edited.fy2}}) {
        if (field->text().trimmed().isEmpty()) {
            *value = 0;
        } else if (!valueOf(field, *value)) {
            newFormMessage(QString::fromUtf8("用紙の寸法を入力してください。"));
            field->setFocus();
            return;
        }
    }
    m_form = std::move(edited);
    QDialog::accept();
}

}  // namespace tnw::sheet
