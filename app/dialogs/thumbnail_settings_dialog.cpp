#include "app/dialogs/thumbnail_settings_dialog.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace tnw::app {

ThumbnailSettingsDialog::ThumbnailSettingsDialog(const TnlSettings& settings, QWidget* parent,
                                                 ColourPicker pickColour)
    : QDialog(parent), m_settings(settings), m_pick(std::move(pickColour))
{
    setWindowTitle(QString::fromUtf8("縮小設定"));
    if (!m_pick) {
        m_pick = [](const QColor& current, QWidget* owner) {
            return QColorDialog::getColor(current, owner);
        };
    }

    auto* sizeGroup = new QGroupBox(QString::fromUtf8("サイズ"), this);
    m_size = new QComboBox(sizeGroup);
    m_size->setObjectName(QStringLiteral("size"));
    m_size->addItems(sizeTexts());
    m_width = new QSpinBox(sizeGroup);
    m_width->setObjectName(QStringLiteral("width"));
    m_height = new QSpinBox(sizeGroup);
    m_height->setObjectName(QStringLiteral("height"));
    for (QSpinBox* s : {m_width, m_height})
        s->setRange(60, 1200);
    const QSize box = settings.box();
    m_width->setValue(box.width());
    m_height->setValue(box.height());
    auto* sizeRow = new QHBoxLayout(sizeGroup);
    sizeRow->addWidget(m_size);
    sizeRow->addSpacing(12);
    sizeRow->addWidget(m_width);
    sizeRow->addWidget(new QLabel(QStringLiteral("X"), sizeGroup));
    sizeRow->addWidget(m_height);
    m_size->setCurrentIndex(std::clamp(settings.nSizeNo, 0, kCustomSizeNo));
    sizeChosen(m_size->currentIndex());
    connect(m_size, &QComboBox::currentIndexChanged, this, &ThumbnailSettingsDialog::sizeChosen);

    auto* colourGroup = new QGroupBox(QString::fromUtf8("枠の色"), this);
    auto* grid = new QGridLayout(colourGroup);
    m_prtSwatch = new QToolButton(colourGroup);
    m_prtSwatch->setObjectName(QStringLiteral("printColour"));
    m_moveSwatch = new QToolButton(colourGroup);
    m_moveSwatch->setObjectName(QStringLiteral("moveColour"));
    const auto addRow = [&](int row, const char* text, QToolButton* swatch, QColor* colour,
                            const char* name) {
        grid->addWidget(new QLabel(QString::fromUtf8(text), colourGroup), row, 0);
        swatch->setFixedSize(48, 20);
        swatch->setEnabled(false);
        grid->addWidget(swatch, row, 1);
        auto* more = new QPushButton(QStringLiteral("..."), colourGroup);
        more->setObjectName(QString::fromLatin1(name));
        more->setFixedWidth(32);
        grid->addWidget(more, row, 2);
        showSwatch(swatch, *colour);
        connect(more, &QPushButton::clicked, this, [this, swatch, colour] {
            const QColor chosen = m_pick(*colour, this);
            if (!chosen.isValid())
                return;
            *colour = chosen;
            showSwatch(swatch, chosen);
        });
    };
    addRow(0, "選択モード：", m_prtSwatch, &m_settings.backPrt, "choosePrint");
    addRow(1, "編集モード：", m_moveSwatch, &m_settings.backMove, "chooseMove");

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QString::fromUtf8("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(sizeGroup);
    layout->addWidget(colourGroup);
    layout->addWidget(buttons);
}

void ThumbnailSettingsDialog::sizeChosen(int index)
{
    const bool custom = index == kCustomSizeNo;
    m_width->setEnabled(custom);
    m_height->setEnabled(custom);
    if (!custom) {
        TnlSettings s;
        s.nSizeNo = index;
        m_width->setValue(s.box().width());
        m_height->setValue(s.box().height());
    }
}

void ThumbnailSettingsDialog::showSwatch(QToolButton* swatch, const QColor& colour)
{
    swatch->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid gray;")
                              .arg(colour.name()));
}

TnlSettings ThumbnailSettingsDialog::settings() const
{
    TnlSettings s = m_settings;
    s.nSizeNo = m_size->currentIndex();
    s.nXdots = m_width->value();
    s.nYdots = m_height->value();
    const QSize box = s.box();
    s.nXdots = box.width();
    s.nYdots = box.height();
    return s;
}

}  // namespace tnw::app
