#include "sheet/dialogs/form_dialog.h"

#include "common/module_paths.h"
#include "common/platform/files.h"
#include "sheet/dialogs/dialog_host.h"
#include "sheet/dialogs/form_detail_dialog.h"
#include "sheet/dialogs/form_sum_page.h"
#include "sheet/dialogs/form_table_model.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QPrinterInfo>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace tnw::sheet {

using common::PaperForm;
using platform::MsgAnswer;
using platform::MsgButtons;
using platform::MsgIcon;

bool formFileReplaceable(const std::string& path)
{
    std::string os;
    if (!platform::toOsPath(path, os) || os.empty())
        return false;
    struct stat st;
    if (::stat(os.c_str(), &st) != 0)
        return errno == ENOENT;
    return S_ISREG(st.st_mode) && (st.st_mode & 0222) != 0 && ::access(os.c_str(), W_OK) == 0;
}

FormDialog::FormDialog(std::vector<PaperForm> forms, std::string formPath, int flags,
                       QStringList printers, QWidget* parent)
    : QDialog(parent),
      m_formPath(std::move(formPath)),
      m_printerColumn((flags & kFormFlagPrinter) != 0),
      m_printers(std::move(printers)),
      m_model(new FormTableModel(std::move(forms), m_printerColumn, this))
{
    setObjectName(QStringLiteral("FormDialog"));
    setWindowTitle(QString::fromUtf8("用紙設定"));
    auto* layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    layout->addWidget(m_tabs);

    // The page "用紙サイズ": the list and its buttons.
    auto* page = new QWidget(m_tabs);
    auto* pageLayout = new QVBoxLayout(page);
    m_table = new QTableView(page);
    m_table->setObjectName(QStringLiteral("formTable"));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setShowGrid(!m_printerColumn);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Widths in dialog units: a quarter of the average width of the Latin letters each (a
    // CJK font's own average would count its full-width glyphs).
    const int unit = std::max(1, fontMetrics().horizontalAdvance(QStringLiteral(
                                     "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                                     52);
    const int nameUnits = m_printerColumn ? 96 : 148;
    const int numberUnits = m_printerColumn ? 48 : 64;
    m_table->setColumnWidth(kColName, nameUnits * unit / 4);
    for (int c = kColWidth; c <= kColPlusY; ++c)
        m_table->setColumnWidth(c, numberUnits * unit / 4);
    if (m_printerColumn)
        m_table->setColumnWidth(kColPrinter, 256 * unit / 4);
    pageLayout->addWidget(m_table);
    auto* row = new QHBoxLayout;
    auto* add = new QPushButton(QString::fromUtf8("新規"), page);
    add->setObjectName(QStringLiteral("newButton"));
    auto* detail = new QPushButton(QString::fromUtf8("詳細/更新"), page);
    detail->setObjectName(QStringLiteral("detailButton"));
    auto* remove = new QPushButton(QString::fromUtf8("削除"), page);
    remove->setObjectName(QStringLiteral("deleteButton"));
    for (QPushButton* b : {add, detail, remove}) {
        b->setAutoDefault(false);
        row->addWidget(b);
    }
    row->addStretch();
    pageLayout->addLayout(row);
    m_tabs->addTab(page, QString::fromUtf8("用紙サイズ"));

    // The 集計 page exists whatever the flags; its tab only when a flag is set.
    m_sumPage = new FormSumPage(*m_model, this);
    if (flags != 0)
        m_tabs->addTab(m_sumPage, QString::fromUtf8("集計"));
    else
        m_sumPage->hide();
    m_tabs->setCurrentIndex(0);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setText(QStringLiteral("OK"));
    ok->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setText(QString::fromUtf8("キャンセル"));
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &FormDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(add, &QPushButton::clicked, this, &FormDialog::newForm);
    connect(detail, &QPushButton::clicked, this, &FormDialog::editForm);
    connect(remove, &QPushButton::clicked, this, &FormDialog::deleteForm);
    connect(m_table, &QTableView::doubleClicked, this, &FormDialog::editForm);
    m_table->installEventFilter(this);  // Delete in the list deletes the selected form

    int width = 0;
    for (int c = 0; c < m_model->columnCount(); ++c)
        width += m_table->columnWidth(c);
    QSize size(width + 60, 420);
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size());
    resize(size);
}

bool FormDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_table && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        deleteForm();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

int FormDialog::selectedRow() const
{
    const QModelIndexList rows = m_table->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void FormDialog::newForm()
{
    FormDetailDialog detail(FormDetailDialog::blankForm(), FormDetailDialog::Mode::New,
                            m_printerColumn ? &m_printers : nullptr, *m_model, this);
    if (detail.exec() != QDialog::Accepted)
        return;
    const int row = m_model->addForm(detail.form());
    m_table->selectRow(row);
    m_table->scrollTo(m_model->index(row, 0));
}

void FormDialog::editForm()
{
    const int row = selectedRow();
    const PaperForm* form = m_model->formAt(row);
    if (!form)
        return;
    const auto mode = form->nUser == 0 ? FormDetailDialog::Mode::Standard
                                       : FormDetailDialog::Mode::User;
    FormDetailDialog detail(*form, mode, m_printerColumn ? &m_printers : nullptr, *m_model, this);
    if (detail.exec() == QDialog::Accepted)
        m_model->updateForm(row, detail.form());
}

void FormDialog::deleteForm()
{
    const int row = selectedRow();
    const PaperForm* form = m_model->formAt(row);
    if (!form)
        return;
    const QString question = formName(*form) + QString::fromUtf8(" を削除しますか？");
    if (sheetMessage("削除", question, MsgButtons::YesNo, MsgIcon::Question) != MsgAnswer::Yes)
        return;
    if (!m_model->deleteForm(row))
        sheetMessage("削除", QString::fromUtf8("基本用紙の削除はチェック・オフで代用します。"),
                     MsgButtons::Ok, MsgIcon::Information);
}

void FormDialog::accept()
{
    m_model->commitChecks();
    const common::CPaperFormTable writer(common::FormVariant::SheetLibrary);
    const int rc = formFileReplaceable(m_formPath)
                       ? writer.SaveForms(m_model->forms(), m_formPath.c_str())
                       : common::formcode::Failed;
    // A form whose name cannot be stored (-2) is left out; the others are saved.
    if (rc == common::formcode::Failed) {
        sheetMessage("tnwsheet", QString::fromUtf8("tnwForm.ini を保存できませんでした。"),
                     MsgButtons::Ok, MsgIcon::Error);
        return;
    }
    QDialog::accept();
}

int runFormDialog(QWidget* parent, const char* formPath, int flags)
{
    const std::string path =
        formPath && *formPath ? std::string(formPath) : common::ModulePaths::paperFormFile();
    common::CPaperFormTable table(common::FormVariant::SheetLibrary);
    table.LoadForms(path.c_str());  // a path that does not fit gives the defaults; OK then fails
    QStringList printers;
    if (flags & kFormFlagPrinter)
        printers = QPrinterInfo::availablePrinterNames();
    FormDialog dialog(table.Forms(), path, flags, printers, parent);
    if (dialog.exec() != QDialog::Accepted)
        return kDialogNotShown;
    const std::string folder = common::ModulePaths::folderOf(path);
    std::string xml = common::kFormXmlName;
    if (!folder.empty())
        xml = (folder == "/" ? folder : folder + "/") + xml;
    if (!formFileReplaceable(xml) ||
        table.ExportFormsXml(dialog.model()->forms(), path.c_str()) != 0) {
        sheetMessage("tnwsheet", QString::fromUtf8("tnwForm.xml を書き出せませんでした。"),
                     MsgButtons::Ok, MsgIcon::Error);
    }
    return 0;
}

}  // namespace tnw::sheet
