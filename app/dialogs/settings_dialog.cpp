#include "app/dialogs/settings_dialog.h"

#include "app/core/text/cp932_validator.h"
#include "app/core/text/version_rule.h"
#include "app/dialogs/meta_editor.h"
#include "common/module_paths.h"
#include "common/platform/cp932.h"
#include "common/platform/files.h"
#include "common/platform/qt_text.h"
#include "common/platform/ui.h"
#include "tnwsheet.h"

#include <QApplication>
#include <QFile>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <cstring>

namespace tnw::app {
namespace {

QString u(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

QComboBox* list(QWidget* parent, const char* name, const QStringList& entries)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->addItems(entries);
    return box;
}

void select(QComboBox* box, int index)
{
    box->setCurrentIndex(OperationSettings::keptIndex(index, box->count()));
}

QLabel* buddyLabel(const char* text, QWidget* buddy)
{
    auto* label = new QLabel(u(text), buddy->parentWidget());
    label->setBuddy(buddy);
    return label;
}

QString defaultPick(QWidget* parent, const QString& start)
{
    return QFileDialog::getExistingDirectory(parent, u("フォルダを選択してください"), start,
                                             QFileDialog::ShowDirsOnly);
}

}  // namespace

SettingsDialog::SettingsDialog(OperationSettings& form, SettingsForm kind, const QString& folder,
                               QWidget* parent, FolderPicker pick)
    : QDialog(parent), m_form(form), m_pick(pick ? std::move(pick) : FolderPicker(defaultPick))
{
    setWindowTitle(kind == SettingsForm::Run ? u("PDF変換の実行") + folder : u("動作設定"));
    auto* tabs = new QTabWidget(this);
    tabs->setObjectName("pages");
    QWidget* output = outputPage();
    tabs->addTab(output, u("出力"));
    tabs->addTab(pdfPage(), u("PDF"));
    tabs->addTab(otherPage(), u("ﾛｸﾞと表示"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setText(kind == SettingsForm::Run ? u("実行") : QStringLiteral("OK"));
    ok->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setText(u("キャンセル"));
    // The paper forms have one editor, the sheet library's; the dialog only opens it.
    auto* forms = new QPushButton(u("用紙設定..."), this);
    forms->setObjectName("paperForms");
    forms->setAutoDefault(false);
    connect(forms, &QPushButton::clicked, this, &SettingsDialog::editPaperForms);
    connect(buttons, &QDialogButtonBox::accepted, this, &SettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(forms);
    bottom->addStretch();
    bottom->addWidget(buttons);
    layout->addLayout(bottom);

    const ConvSettings& conv = form.conv();
    const AppSettings& app = form.app();
    m_tif2pdf->setCurrentIndex(app.nTif2Pdf == 1 ? 1 : 0);
    m_folding->button(conv.nFolding != 0 ? 1 : 0)->setChecked(true);
    select(m_foldSub1, conv.nFoldSub1);
    select(m_foldSub2, conv.nFoldSub2);
    select(m_filing, conv.nFiling);
    select(m_nameLog, conv.nNameingLog);
    rebuildNameLists();
    select(m_nameFile, conv.nNameingFile);
    select(m_nameDir, conv.nNameingDir);
    m_version->setText(QString::fromStdString(versionText(app.nPDFVersMajor, app.nPDFVersMinor)));
    const char* texts[4] = {app.szPdfTitle, app.szPdfSubject, app.szPdfAuthor, app.szPdfKeyword};
    for (int i = 0; i < 4; ++i)
        m_texts[i]->setText(
            platform::fromCp932(std::string_view(texts[i], strnlen(texts[i], kAppTextSize))));
    m_keepJpeg->setChecked(m_form.keepJpeg());
    m_showDlgParm->setChecked(conv.nShowDlgParm != 0);
    m_showDlg->setChecked(conv.nShowDlg != 0);
    m_makeLog->setChecked(conv.nMakeLog > 0);
    m_showLog->setChecked(conv.nShowLog > 0);
    fillHistory();
    showPreviews();
    updateEnabled();

    connect(m_tif2pdf, &QComboBox::currentIndexChanged, this, [this] {
        m_form.app().nTif2Pdf = m_tif2pdf->currentIndex();
        rebuildNameLists();
        showPreviews();
        updateEnabled();
    });
    for (QComboBox* box : {m_foldSub1, m_foldSub2, m_nameFile, m_nameDir, m_nameLog})
        connect(box, &QComboBox::currentIndexChanged, this, &SettingsDialog::updateEnabled);
    connect(m_folding, &QButtonGroup::idToggled, this, &SettingsDialog::updateEnabled);
    connect(m_makeLog, &QCheckBox::toggled, this, &SettingsDialog::updateEnabled);
    m_tif2pdf->setFocus();
}

QLabel* SettingsDialog::display(const char* name)
{
    auto* label = new QLabel(this);
    label->setObjectName(name);
    label->setFrameShape(QFrame::StyledPanel);
    label->setMinimumWidth(200);
    return label;
}

QToolButton* SettingsDialog::metaButton(MetaKind kind, const char* name)
{
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setText("...");
    connect(button, &QToolButton::clicked, this, [this, kind] { editMeta(kind); });
    m_displays[int(kind)] = display((std::string(name) + "Preview").c_str());
    m_metaButtons[int(kind)] = button;
    return button;
}

QWidget* SettingsDialog::outputPage()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);

    m_tif2pdf = list(page, "nTif2Pdf", {u("１対１"), u("１ファイルに結合する")});
    auto* top = new QFormLayout;
    top->addRow(buddyLabel("作成方式", m_tif2pdf), m_tif2pdf);
    layout->addLayout(top);

    auto* folders = new QGroupBox(u("作成フォルダ"), page);
    auto* grid = new QGridLayout(folders);
    m_folding = new QButtonGroup(this);
    auto* parentRadio = new QRadioButton(u("親ﾌｫﾙﾀﾞに作成する"), folders);
    auto* givenRadio = new QRadioButton(u("指定ﾌｫﾙﾀﾞに作成する"), folders);
    parentRadio->setObjectName("nFolding0");
    givenRadio->setObjectName("nFolding1");
    m_folding->addButton(parentRadio, 0);
    m_folding->addButton(givenRadio, 1);
    m_foldSub1 = list(folders, "nFoldSub1", {u("作成しない"), u("日付名"), u("その他")});
    QToolButton* sub1 = metaButton(MetaKind::Sub1, "szMetaSub1");
    m_fold2 = new QComboBox(folders);
    m_fold2->setObjectName("szFold2");
    m_fold2->setEditable(true);
    m_fold2->setInsertPolicy(QComboBox::NoInsert);
    m_fold2->setMinimumWidth(300);
    m_fold2->lineEdit()->setValidator(new Cp932Validator(kFolderMaxBytes, {}, m_fold2));
    connect(m_fold2->lineEdit(), &QLineEdit::inputRejected, this, [] { QApplication::beep(); });
    connect(m_fold2, &QComboBox::activated, this, &SettingsDialog::historyActivated);
    m_browse = new QToolButton(folders);
    m_browse->setObjectName("browseFold2");
    m_browse->setText("...");
    connect(m_browse, &QToolButton::clicked, this, &SettingsDialog::browseFolder);
    m_foldSub2 =
        list(folders, "nFoldSub2", {u("作成しない"), u("日付名"), u("親ﾌｫﾙﾀﾞ名"), u("その他")});
    QToolButton* sub2 = metaButton(MetaKind::Sub2, "szMetaSub2");

    m_foldSub1Label = buddyLabel("ｻﾌﾞﾌｫﾙﾀﾞ", m_foldSub1);
    m_fold2Label = buddyLabel("ﾌｫﾙﾀﾞ名", m_fold2);
    m_foldSub2Label = buddyLabel("ｻﾌﾞﾌｫﾙﾀﾞ", m_foldSub2);
    grid->addWidget(parentRadio, 0, 0, 1, 4);
    grid->addWidget(m_foldSub1Label, 1, 0);
    grid->addWidget(m_foldSub1, 1, 1);
    grid->addWidget(m_displays[int(MetaKind::Sub1)], 1, 2);
    grid->addWidget(sub1, 1, 3);
    grid->addWidget(givenRadio, 2, 0, 1, 4);
    grid->addWidget(m_fold2Label, 3, 0);
    grid->addWidget(m_fold2, 3, 1, 1, 2);
    grid->addWidget(m_browse, 3, 3);
    grid->addWidget(m_foldSub2Label, 4, 0);
    grid->addWidget(m_foldSub2, 4, 1);
    grid->addWidget(m_displays[int(MetaKind::Sub2)], 4, 2);
    grid->addWidget(sub2, 4, 3);
    layout->addWidget(folders);

    auto* names = new QGroupBox(u("出力ﾌｧｲﾙ名"), page);
    auto* nameGrid = new QGridLayout(names);
    m_nameFile = list(names, "nNameingFile", {});
    m_nameDir = list(names, "nNameingDir", {});
    QToolButton* file = metaButton(MetaKind::File, "szMetaFile");
    QToolButton* dir = metaButton(MetaKind::Dir, "szMetaDir");
    m_filing = list(names, "nFiling", {u("置換する"), u("ｽｷｯﾌﾟする")});
    m_nameFileLabel = buddyLabel("ﾌｧｲﾙ単位", m_nameFile);
    m_nameDirLabel = buddyLabel("ﾌｫﾙﾀﾞ単位", m_nameDir);
    nameGrid->addWidget(m_nameFileLabel, 0, 0);
    nameGrid->addWidget(m_nameFile, 0, 1);
    nameGrid->addWidget(m_displays[int(MetaKind::File)], 0, 2);
    nameGrid->addWidget(file, 0, 3);
    nameGrid->addWidget(m_nameDirLabel, 1, 0);
    nameGrid->addWidget(m_nameDir, 1, 1);
    nameGrid->addWidget(m_displays[int(MetaKind::Dir)], 1, 2);
    nameGrid->addWidget(dir, 1, 3);
    nameGrid->addWidget(buddyLabel("置換", m_filing), 2, 0);
    nameGrid->addWidget(m_filing, 2, 1);
    // Tab goes row by row: each list, then its "..." button.
    setTabOrder(m_nameFile, file);
    setTabOrder(file, m_nameDir);
    setTabOrder(m_nameDir, dir);
    setTabOrder(dir, m_filing);
    layout->addWidget(names);
    layout->addStretch();
    return page;
}

QWidget* SettingsDialog::pdfPage()
{
    auto* page = new QWidget(this);
    auto* layout = new QFormLayout(page);
    m_version = new QLineEdit(page);
    m_version->setObjectName("nPDFVers");
    m_version->setMaxLength(16);
    m_version->setValidator(
        new QRegularExpressionValidator(QRegularExpression("[0-9]*\\.?[0-9]*"), m_version));
    connect(m_version, &QLineEdit::inputRejected, this, [] { QApplication::beep(); });
    layout->addRow(buddyLabel("ﾊﾞｰｼﾞｮﾝ", m_version), m_version);
    m_keepJpeg = new QCheckBox(u("ｸﾞﾚｰｽｹｰﾙ・ﾌﾟﾛｸﾞﾚｯｼﾌﾞJPEGを再圧縮せずにそのまま埋め込む"), page);
    m_keepJpeg->setObjectName("nKeepJpeg");
    m_keepJpeg->setToolTip(u("ﾌﾟﾛｸﾞﾚｯｼﾌﾞJPEGはPDF 1.3以上のときだけそのまま埋め込みます。"));
    layout->addRow(m_keepJpeg);
    const char* labels[4] = {"ﾀｲﾄﾙ", "作成者", "ｻﾌﾞﾀｲﾄﾙ", "ｷｰﾜｰﾄﾞ"};
    const char* names[4] = {"szPdfTitle", "szPdfSubject", "szPdfAuthor", "szPdfKeyword"};
    for (int i = 0; i < 4; ++i) {
        m_texts[i] = new QLineEdit(page);
        m_texts[i]->setObjectName(names[i]);
        m_texts[i]->setMinimumWidth(320);
        m_texts[i]->setValidator(new Cp932Validator(kDocTextMaxBytes, {}, m_texts[i]));
        connect(m_texts[i], &QLineEdit::inputRejected, this, [] { QApplication::beep(); });
        layout->addRow(buddyLabel(labels[i], m_texts[i]), m_texts[i]);
    }
    return page;
}

QWidget* SettingsDialog::otherPage()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    m_showDlgParm = new QCheckBox(u("[ﾌｧｲﾙ]-[PDF化実行]でもこのﾀﾞｲｱﾛｸﾞを表示する"), page);
    m_showDlgParm->setObjectName("nShowDlgParm");
    m_showDlg = new QCheckBox(u("ｱｲｺﾝへのD&&D、ｺﾏﾝﾄﾞ起動のとき、このﾀﾞｲｱﾛｸﾞを表示する"), page);
    m_showDlg->setObjectName("nShowDlg");
    layout->addWidget(m_showDlgParm);
    layout->addWidget(m_showDlg);

    auto* log = new QGroupBox(u("ﾛｸﾞ"), page);
    auto* grid = new QGridLayout(log);
    m_makeLog = new QCheckBox(u("ﾛｸﾞを作成する"), log);
    m_makeLog->setObjectName("nMakeLog");
    m_showLog = new QCheckBox(u("変換後ﾛｸﾞを表示する"), log);
    m_showLog->setObjectName("nShowLog");
    m_nameLog = list(log, "nNameingLog",
                     {u("親ﾌｫﾙﾀﾞ名＋年月日＋時刻"), u("親ﾌｫﾙﾀﾞ名"), u("その他")});
    QToolButton* meta = metaButton(MetaKind::Log, "szMetaLog");
    m_nameLogLabel = buddyLabel("ﾌｧｲﾙ名", m_nameLog);
    grid->addWidget(m_makeLog, 0, 0, 1, 2);
    grid->addWidget(m_showLog, 0, 2, 1, 2);
    grid->addWidget(m_nameLogLabel, 1, 0);
    grid->addWidget(m_nameLog, 1, 1);
    grid->addWidget(m_displays[int(MetaKind::Log)], 1, 2);
    grid->addWidget(meta, 1, 3);
    layout->addWidget(log);
    layout->addStretch();
    return page;
}

void SettingsDialog::rebuildNameLists()
{
    const int tif2pdf = m_tif2pdf->currentIndex();
    for (QComboBox* box : {m_nameFile, m_nameDir}) {
        const bool folderList = box == m_nameDir;
        const int index = box->currentIndex();
        const QSignalBlocker block(box);
        box->clear();
        box->addItems(OperationSettings::nameEntries(folderList, tif2pdf));
        select(box, index);
    }
}

void SettingsDialog::updateEnabled()
{
    const bool given = m_folding->checkedId() == 1;
    const bool folderMode = m_form.folderMode();
    const bool log = m_makeLog->isChecked();
    auto onOther = [](QComboBox* box) { return box->currentIndex() == box->count() - 1; };
    m_foldSub1->setEnabled(!given);
    m_foldSub1Label->setEnabled(!given);
    m_fold2->setEnabled(given);
    m_fold2Label->setEnabled(given);
    m_browse->setEnabled(given);
    m_foldSub2->setEnabled(given);
    m_foldSub2Label->setEnabled(given);
    m_nameFile->setEnabled(!folderMode);
    m_nameFileLabel->setEnabled(!folderMode);
    m_nameDir->setEnabled(folderMode);
    m_nameDirLabel->setEnabled(folderMode);
    m_nameLog->setEnabled(log);
    m_nameLogLabel->setEnabled(log);
    const bool on[6] = {false,
                        !folderMode && onOther(m_nameFile),
                        folderMode && onOther(m_nameDir),
                        !given && onOther(m_foldSub1),
                        given && onOther(m_foldSub2),
                        log && onOther(m_nameLog)};
    for (int kind = 1; kind <= 5; ++kind) {
        m_displays[kind]->setEnabled(on[kind]);
        m_metaButtons[kind]->setEnabled(on[kind]);
    }
}

void SettingsDialog::showPreviews()
{
    for (int kind = 1; kind <= 5; ++kind)
        m_displays[kind]->setText(platform::fromCp932(m_form.preview(MetaKind(kind))));
}

void SettingsDialog::fillHistory()
{
    const QSignalBlocker block(m_fold2);
    m_fold2->clear();
    for (const std::string& entry : m_form.history())
        m_fold2->addItem(platform::fromCp932(entry));
    m_fold2->setEditText(platform::fromCp932(m_form.folderText()));
}

void SettingsDialog::historyActivated(int index)
{
    std::string entry;
    if (index < 0 || !platform::toCp932(m_fold2->itemText(index), entry))
        return;
    m_form.chooseHistoryEntry(entry);
    fillHistory();
}

void SettingsDialog::browseFolder()
{
    std::string stored;
    platform::toCp932(m_fold2->currentText(), stored);
    const bool usable = platform::pathKind(stored) == platform::PathKind::Folder;
    const QString start = usable ? m_fold2->currentText() : QDir::homePath();
    const QString chosen = m_pick(this, start);
    if (chosen.isEmpty())
        return;
    std::string folder;
    if (!platform::fromOsPath(QFile::encodeName(chosen).toStdString(), folder)) {
        platform::showMessage("Korvelin", platform::sjis("不正な名前があります。"));
        return;
    }
    m_form.pickFolder(folder);
    fillHistory();
}

void SettingsDialog::editMeta(MetaKind kind)
{
    MetaEditor editor(m_form, kind, m_form.meta(kind), this);
    if (editor.exec() != QDialog::Accepted)
        return;
    m_form.setMeta(kind, editor.text());
    m_displays[int(kind)]->setText(platform::fromCp932(m_form.preview(kind)));
}

void SettingsDialog::editPaperForms()
{
    const std::string path = common::ModulePaths::paperFormFile();
    if (shxDlgForm(this, path.c_str(), 0) >= 0)
        emit paperFormsSaved();
}

void SettingsDialog::readControls()
{
    ConvSettings& conv = m_form.conv();
    AppSettings& app = m_form.app();
    app.nTif2Pdf = m_tif2pdf->currentIndex();
    conv.nFolding = m_folding->checkedId() == 1 ? 1 : 0;
    conv.nFoldSub1 = m_foldSub1->currentIndex();
    conv.nFoldSub2 = m_foldSub2->currentIndex();
    conv.nNameingFile = m_nameFile->currentIndex();
    conv.nNameingDir = m_nameDir->currentIndex();
    conv.nFiling = m_filing->currentIndex();
    conv.nShowDlgParm = m_showDlgParm->isChecked() ? 1 : 0;
    conv.nShowDlg = m_showDlg->isChecked() ? 1 : 0;
    conv.nMakeLog = m_makeLog->isChecked() ? 1 : 0;
    m_form.setKeepJpeg(m_keepJpeg->isChecked());
    conv.nShowLog = m_showLog->isChecked() ? 1 : 0;
    conv.nNameingLog = m_nameLog->currentIndex();
    char(*fields[4])[kAppTextSize] = {&app.szPdfTitle, &app.szPdfSubject, &app.szPdfAuthor,
                                      &app.szPdfKeyword};
    for (int i = 0; i < 4; ++i) {
        std::string bytes;
        platform::toCp932(m_texts[i]->text(), bytes);  // the validator allows only CP932
        StoreDialogText(*fields[i], bytes);
    }
    std::string folder;
    platform::toCp932(m_fold2->currentText(), folder);
    m_form.setFolderText(folder);
}

void SettingsDialog::accept()
{
    readControls();
    const bool saved = m_form.accept(m_version->text().toStdString());
    fillHistory();  // the checks may have changed the history or the folder
    if (saved)
        QDialog::accept();
}

}  // namespace tnw::app
