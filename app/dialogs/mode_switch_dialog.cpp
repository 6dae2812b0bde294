#include "app/dialogs/mode_switch_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace tnw::app {
namespace {

QString u(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

QDialogButtonBox* okCancel(QDialog* dialog)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setText(u("キャンセル"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

QButtonGroup* radios(QWidget* parent, QLayout* layout, const char* name,
                     std::initializer_list<const char*> texts)
{
    auto* group = new QButtonGroup(parent);
    int id = 0;
    for (const char* text : texts) {
        auto* radio = new QRadioButton(u(text), parent);
        radio->setObjectName(QString("%1%2").arg(name).arg(id));
        group->addButton(radio, id++);
        layout->addWidget(radio);
    }
    return group;
}

}  // namespace

ModeSwitchDialog::ModeSwitchDialog(int mode, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(u("ﾓｰﾄﾞの切り替え"));
    auto* layout = new QVBoxLayout(this);
    m_modes = radios(this, layout, "nMode", {"ﾌｧｲﾙﾓｰﾄﾞ", "ﾌｫﾙﾀﾞﾓｰﾄﾞ(ﾃﾞｨﾚｸﾄﾘﾓｰﾄﾞ)"});
    m_modes->button(mode != 0 ? 1 : 0)->setChecked(true);
    layout->addWidget(okCancel(this));
}

int ModeSwitchDialog::mode() const
{
    return m_modes->checkedId() == 1 ? 1 : 0;
}

void ModeSwitchDialog::save(const ConvSettingsIo& io, const std::string& iniPath, int mode)
{
    ConvSettings conv{};
    if (io.load)
        io.load(iniPath.c_str(), &conv);
    conv.nMode = mode;
    conv.nBatchLevel = 0;
    if (io.save)
        io.save(iniPath.c_str(), &conv);
}

ExtendedSettingsDialog::ExtendedSettingsDialog(const AppSettings& app, QWidget* parent)
    : QDialog(parent), m_app(app)
{
    setWindowTitle(u("拡張設定"));
    auto* layout = new QVBoxLayout(this);
    auto* jpeg = new QGroupBox(u("jpeg の pd f化"), this);
    auto* jpegLayout = new QHBoxLayout(jpeg);
    m_jpg2tif = radios(jpeg, jpegLayout, "nJpg2Tif", {"pdf化 しない", "pdf 化する"});
    m_jpg2tif->button(1)->setChecked(true);  // loading always yields 1
    layout->addWidget(jpeg);

    auto* sub = new QGroupBox(u("サブフォルダの表示"), this);
    auto* subLayout = new QVBoxLayout(sub);
    auto* showRow = new QHBoxLayout;
    m_show = radios(sub, showRow, "nSubDirShow", {"しない", "する"});
    m_show->button(app.nSubDirShow != 0 ? 1 : 0)->setChecked(true);
    subLayout->addLayout(showRow);
    auto* form = new QFormLayout;
    m_proc = new QComboBox(sub);
    m_proc->setObjectName("nSubDirProc");
    m_proc->addItems({u("全て"), u("レベル指定"), u("最深レベル")});
    m_proc->setCurrentIndex(app.nSubDirProc >= 0 && app.nSubDirProc <= 2 ? app.nSubDirProc : 0);
    m_level = new QSpinBox(sub);
    m_level->setObjectName("nSubDirLevel");
    m_level->setRange(1, 100);
    m_level->setValue(app.nSubDirLevel < 1 ? 1 : app.nSubDirLevel);
    m_zeros = new QCheckBox(u("親ﾌｫﾙﾀﾞ直下のﾌｧｲﾙを対象にする"), sub);
    m_zeros->setObjectName("nSubDirZeros");
    m_zeros->setChecked(app.nSubDirZeros != 0);
    m_procLabel = new QLabel(u("方式"), sub);
    m_procLabel->setBuddy(m_proc);
    m_levelLabel = new QLabel(u("ﾚﾍﾞﾙ"), sub);
    m_levelLabel->setBuddy(m_level);
    form->addRow(m_procLabel, m_proc);
    form->addRow(m_levelLabel, m_level);
    subLayout->addLayout(form);
    subLayout->addWidget(m_zeros);
    layout->addWidget(sub);
    layout->addWidget(okCancel(this));

    connect(m_show, &QButtonGroup::idToggled, this, &ExtendedSettingsDialog::updateEnabled);
    connect(m_proc, &QComboBox::currentIndexChanged, this, &ExtendedSettingsDialog::updateEnabled);
    updateEnabled();
}

void ExtendedSettingsDialog::updateEnabled()
{
    const bool show = m_show->checkedId() == 1;
    const bool level = show && m_proc->currentIndex() == 1;
    m_proc->setEnabled(show);
    m_procLabel->setEnabled(show);
    m_zeros->setEnabled(show);
    m_level->setEnabled(level);
    m_levelLabel->setEnabled(level);
}

AppSettings ExtendedSettingsDialog::settings() const
{
    AppSettings app = m_app;
    app.nJpg2Tif = m_jpg2tif->checkedId() == 0 ? 0 : 1;
    app.nMakePdf = 1;
    app.nPutWangA = 0;
    app.nSubDirShow = m_show->checkedId() == 1 ? 1 : 0;
    app.nSubDirProc = m_proc->currentIndex();
    app.nSubDirZeros = m_zeros->isChecked() ? 1 : 0;
    app.nSubDirLevel = m_level->value() < 1 ? 1 : m_level->value();
    return app;
}

}  // namespace tnw::app
