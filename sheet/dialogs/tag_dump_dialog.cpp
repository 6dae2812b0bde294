#include "sheet/dialogs/tag_dump_dialog.h"

#include "common/module_paths.h"
#include "common/platform/qt_text.h"
#include "sheet/dialogs/dialog_host.h"
#include "sheet/dialogs/tag_dump_rows.h"

#include <QButtonGroup>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <cstdio>
#include <memory>

namespace tnw::sheet {

using common::tiffcode::NoTextBuffer;

namespace {

void failure(const char* text)
{
    sheetMessage("tnwsheet", QString::fromUtf8(text), platform::MsgButtons::Ok,
                 platform::MsgIcon::Error);
}

// The message of a failed dump of a page.
void pageFailure(int code)
{
    failure(code == NoTextBuffer ? "作業ファイルが開けません" : "タグ読み込みに失敗しました");
}

}  // namespace

TagDumpDialog::TagDumpDialog(common::TiffReader& reader, const QString& fileName, QWidget* parent)
    : QDialog(parent), m_reader(reader), m_rows(new TagDumpRowModel(this))
{
    setObjectName(QStringLiteral("TagDumpDialog"));
    setWindowTitle(QString::fromUtf8("タグダンプ - ") + fileName);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSize(9);

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* name = new QLabel(fileName, this);
    name->setObjectName(QStringLiteral("fileName"));
    name->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pageLabel = new QLabel(this);
    m_pageLabel->setObjectName(QStringLiteral("pageLabel"));
    top->addWidget(name, 1);
    top->addWidget(m_pageLabel);
    layout->addLayout(top);

    auto* forms = new QHBoxLayout;
    m_rowRadio = new QRadioButton(QString::fromUtf8("表形式"), this);
    m_rowRadio->setObjectName(QStringLiteral("rowForm"));
    m_textRadio = new QRadioButton(QString::fromUtf8("帳票形式"), this);
    m_textRadio->setObjectName(QStringLiteral("textForm"));
    m_rowRadio->setChecked(true);
    auto* group = new QButtonGroup(this);
    group->addButton(m_rowRadio);
    group->addButton(m_textRadio);
    forms->addWidget(m_rowRadio);
    forms->addWidget(m_textRadio);
    forms->addStretch();
    layout->addLayout(forms);

    m_stack = new QStackedWidget(this);
    m_table = new QTableView(m_stack);
    m_table->setObjectName(QStringLiteral("rows"));
    m_table->setModel(m_rows);
    m_table->setFont(fixed);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(QFontMetrics(fixed).height() + 4);
    m_table->horizontalHeader()->setStretchLastSection(true);
    const int ch = QFontMetrics(fixed).averageCharWidth();
    const int widths[] = {8, 24, 14, 8, 10};
    for (int c = 0; c < 5; ++c)
        m_table->setColumnWidth(c, widths[c] * ch + 12);
    m_text = new QPlainTextEdit(m_stack);
    m_text->setObjectName(QStringLiteral("listing"));
    m_text->setReadOnly(true);
    m_text->setFont(fixed);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_stack->addWidget(m_table);
    m_stack->addWidget(m_text);
    layout->addWidget(m_stack, 1);

    auto* buttons = new QHBoxLayout;
    m_first = new QPushButton(QString::fromUtf8("先頭"), this);
    m_first->setObjectName(QStringLiteral("first"));
    m_previous = new QPushButton(QString::fromUtf8("前"), this);
    m_previous->setObjectName(QStringLiteral("previous"));
    m_next = new QPushButton(QString::fromUtf8("次"), this);
    m_next->setObjectName(QStringLiteral("next"));
    m_last = new QPushButton(QString::fromUtf8("最終"), this);
    m_last->setObjectName(QStringLiteral("last"));
    auto* close = new QPushButton(QString::fromUtf8("終了"), this);
    close->setObjectName(QStringLiteral("close"));
    for (QPushButton* b : {m_first, m_previous, m_next, m_last}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->addStretch();
    close->setDefault(true);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(m_first, &QPushButton::clicked, this, [this] { showPage(0); });
    connect(m_previous, &QPushButton::clicked, this, [this] { showPage(m_page - 1); });
    connect(m_next, &QPushButton::clicked, this, [this] { showPage(m_page + 1); });
    connect(m_last, &QPushButton::clicked, this, [this] { showPage(pageCount() - 1); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_textRadio, &QRadioButton::toggled, this, &TagDumpDialog::setTextForm);

    resize(96 * ch + 80, 560);
    refresh();
}

void TagDumpDialog::showPage(int page)
{
    if (page < 0 || page >= pageCount() || page == m_page)
        return;
    m_page = page;
    refresh();
}

void TagDumpDialog::setTextForm(bool text)
{
    if (text == m_textForm)
        return;
    m_textForm = text;
    if (m_textRadio->isChecked() != text)
        (text ? m_textRadio : m_rowRadio)->setChecked(true);
    refresh();
}

void TagDumpDialog::refresh()
{
    m_pageLabel->setText(QStringLiteral("%1 / %2").arg(m_page + 1).arg(pageCount()));
    m_first->setEnabled(m_page > 0);
    m_previous->setEnabled(m_page > 0);
    m_next->setEnabled(m_page + 1 < pageCount());
    m_last->setEnabled(m_page + 1 < pageCount());

    QStringList lines;
    m_code = dumpPage(m_reader, m_page,
                      m_textForm ? common::TiffDumpMode::Text : common::TiffDumpMode::Rows, lines);
    if (m_textForm) {
        m_text->setPlainText(lines.join(QLatin1Char('\n')));
        m_stack->setCurrentWidget(m_text);
    } else {
        m_rows->setRows(parseDumpRows(lines));
        m_stack->setCurrentWidget(m_table);
    }
    if (m_code != 0)
        pageFailure(m_code);
}

int runTagDumpDialog(QWidget* parent, const char* tiffPath)
{
    const std::string path = tiffPath ? tiffPath : "";
    // The work file is made before anything else, as the listing needs it for every page.
    if (std::unique_ptr<FILE, int (*)(FILE*)> probe(std::tmpfile(), &std::fclose); !probe) {
        failure("作業ファイルが開けません");
        return NoTextBuffer;
    }
    common::TiffReader reader;
    if (const int rc = reader.open(path); rc != 0) {
        failure("ﾌｧｲﾙを開けません");
        return rc;
    }
    if (const int rc = reader.readDirectories(); rc != 0 || reader.directoryCount() == 0) {
        failure("タグ読み込みに失敗しました");
        return rc != 0 ? rc : common::tiffcode::NoDirectory;
    }
    TagDumpDialog dialog(reader, platform::fromCp932(common::ModulePaths::lastComponent(path)),
                         parent);
    dialog.exec();
    return 0;
}

}  // namespace tnw::sheet
