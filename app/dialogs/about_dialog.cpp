#include "app/dialogs/about_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tnw::app {

QString AboutDialog::versionText(const QString& version)
{
    return QStringLiteral("Korvelin Version ") + version;
}

AboutDialog::AboutDialog(const QString& version, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QString::fromUtf8("Korvelin のﾊﾞｰｼﾞｮﾝ情報"));
    setModal(true);

    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/korvelin.svg")).pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop);
    auto* text = new QLabel(versionText(version), this);
    text->setObjectName(QStringLiteral("versionText"));
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addSpacing(12);
    row->addWidget(text, 1, Qt::AlignVCenter);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace tnw::app
