#include "app/view/thumbnail_delegate.h"

#include "app/core/lists/list_models.h"
#include "common/platform/qt_text.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QToolTip>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <qdrawutil.h>

#include <cmath>

namespace tnw::app {
namespace {

QFont labelFont()
{
    QFont font = QApplication::font();
    font.setPointSize(9);
    font.setWeight(QFont::Normal);
    return font;
}

// Relative luminance, 0 (black) to 1 (white).
double luminance(const QColor& c)
{
    const auto linear = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

// A selected item's label: the highlight colour, unless it would be hard to read on the cell's
// fill (a marked cell is filled with a colour of the user's choice, pure blue by default, much
// like the usual highlight); then white or black, whichever stands out more.
QColor selectedLabelColour(const QColor& wanted, const QColor& fill)
{
    const auto contrast = [](const QColor& a, const QColor& b) {
        const double la = luminance(a), lb = luminance(b);
        return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
    };
    if (contrast(wanted, fill) >= 3.0)
        return wanted;
    return contrast(Qt::black, fill) >= contrast(Qt::white, fill) ? QColor(Qt::black)
                                                                   : QColor(Qt::white);
}

}  // namespace

ThumbnailDelegate::ThumbnailDelegate(const ThumbnailStore& store, Label label, QObject* parent)
    : QStyledItemDelegate(parent), m_store(store), m_font(labelFont()), m_label(label)
{
    m_labelHeight = QFontMetrics(m_font).boundingRect(QStringLiteral("WWW")).height();
}

void ThumbnailDelegate::setBox(int width, int height)
{
    m_boxW = width;
    m_boxH = height;
    m_labels.clear();
}

void ThumbnailDelegate::setMarkMode(int mode, const QColor& colour)
{
    m_mode = mode;
    m_colour = colour;
}

int ThumbnailDelegate::labelHeight() const
{
    return m_labelHeight;
}

const QPixmap& ThumbnailDelegate::checkPixmap(bool checked, const QRect& rect,
                                              const QWidget* widget) const
{
    const qreal ratio = widget ? widget->devicePixelRatioF() : qApp->devicePixelRatio();
    QPixmap& pixmap = m_check[checked ? 1 : 0];
    if (pixmap.isNull() || m_checkRatio != ratio ||
        pixmap.deviceIndependentSize().toSize() != rect.size()) {
        if (m_checkRatio != ratio) {
            m_check[0] = QPixmap();
            m_check[1] = QPixmap();
            m_checkRatio = ratio;
        }
        pixmap = QPixmap(rect.size() * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        QStyleOptionButton box;
        box.rect = QRect(QPoint(0, 0), rect.size());
        box.state = QStyle::State_Enabled | (checked ? QStyle::State_On : QStyle::State_Off);
        if (widget)
            box.palette = widget->palette();
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, &p, widget);
    }
    return pixmap;
}

QSize ThumbnailDelegate::cellSize() const
{
    return {m_boxW + 12, m_boxH + labelHeight() + 14};
}

QSize ThumbnailDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const
{
    return cellSize();
}

QRect ThumbnailDelegate::checkRect(const QRect& cell) const
{
    const int lh = labelHeight();
    const int side = std::min(lh, 13);
    return {cell.x() + 6, cell.y() + 4 + m_boxH + 8 + (lh + 2 - side) / 2, side, side};
}

QString ThumbnailDelegate::labelText(const QModelIndex& index) const
{
    const QString name = index.model()
                             ->index(index.row(), 0)
                             .data(Qt::DisplayRole)
                             .toString();
    if (m_label == Label::NameExt)
        return name;
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot > 0 ? name.left(dot) : name;
    return QStringLiteral("%1(%2)").arg(base).arg(index.data(PageIndexRole).toInt() + 1);
}

const QPixmap& ThumbnailDelegate::backPixmap(bool marked, const QSize& size,
                                             const QPalette& palette, qreal ratio) const
{
    Back& back = m_back[marked ? 1 : 0];
    const QColor fill = marked ? m_colour : QColor(Qt::lightGray);
    if (back.pixmap.isNull() || back.pixmap.deviceIndependentSize().toSize() != size ||
        back.pixmap.devicePixelRatio() != ratio || back.fill != fill ||
        back.palette != palette.cacheKey()) {
        back.pixmap = QPixmap(size * ratio);
        back.pixmap.setDevicePixelRatio(ratio);
        back.pixmap.fill(Qt::transparent);
        QPainter p(&back.pixmap);
        const QBrush brush(fill);
        qDrawShadePanel(&p, QRect(QPoint(0, 0), size), palette, marked, 1, &brush);
        back.fill = fill;
        back.palette = palette.cacheKey();
    }
    return back.pixmap;
}

const QStaticText& ThumbnailDelegate::labelFor(const QString& text, int width) const
{
    if (width != m_labelWidth || m_labels.size() > 4096) {
        m_labels.clear();
        m_labelWidth = width;
    }
    auto it = m_labels.find(text);
    if (it == m_labels.end()) {
        QStaticText laid(QFontMetrics(m_font).elidedText(text, Qt::ElideRight, width));
        laid.setTextFormat(Qt::PlainText);
        laid.prepare(QTransform(), m_font);
        it = m_labels.insert(text, laid);
    }
    return *it;
}

QString ThumbnailDelegate::toolTip(const QModelIndex& index) const
{
    const Picture* picture =
        m_store.find({index.data(EntryIdRole).toInt(), index.data(PageIndexRole).toInt()});
    if (!picture)
        return {};
    if (picture->state == Picture::State::Failed)
        return QString::fromUtf8("読込失敗 (%1)").arg(picture->code);
    if (picture->state == Picture::State::Made && picture->warnings > 0)
        return QString::fromUtf8("読込警告 (%1)").arg(picture->warnings);
    return {};
}

bool ThumbnailDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                  const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (event && event->type() == QEvent::ToolTip && index.isValid()) {
        const QString text = toolTip(index);
        if (!text.isEmpty()) {
            QToolTip::showText(event->globalPos(), text, view);
            return true;
        }
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}

void ThumbnailDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const
{
    painter->save();
    const QRect cell = option.rect;
    const int lh = labelHeight();
    const QRect back(cell.x() + 4, cell.y() + 4, m_boxW + 8, m_boxH + lh + 10);
    const bool selected = option.state & QStyle::State_Selected;
    const bool checked = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    const bool marked = (m_mode == 1 && checked) || ((m_mode == 2 || m_mode == 3) && selected);
    const QColor fill = marked ? m_colour : QColor(Qt::lightGray);
    const qreal ratio = option.widget ? option.widget->devicePixelRatioF() : 1.0;
    painter->drawPixmap(back.topLeft(), backPixmap(marked, back.size(), option.palette, ratio));

    const QRect area(cell.x() + 4, cell.y() + 4, m_boxW + 8, m_boxH + 8);
    const PictureKey key{index.data(EntryIdRole).toInt(), index.data(PageIndexRole).toInt()};
    const Picture* picture = m_store.find(key);
    const QRect inner = area.adjusted(4, 4, -4, -4);
    if (picture && picture->state == Picture::State::Made) {
        const QSize s = picture->image.size();
        const QRect target(inner.x() + (inner.width() - s.width()) / 2,
                           inner.y() + (inner.height() - s.height()) / 2, s.width(), s.height());
        painter->drawImage(target, picture->image);
    } else if ((picture && picture->state == Picture::State::Failed) ||
               index.data(UnsupportedRole).toBool()) {
        painter->fillRect(inner, QColor(0xE0, 0xE0, 0xE0));
        painter->setPen(QPen(QColor(0x99, 0, 0), 2));
        const QRect x = QRect(0, 0, inner.width() / 3, inner.height() / 3);
        QRect cross = x;
        cross.moveCenter(inner.center());
        painter->drawLine(cross.topLeft(), cross.bottomRight());
        painter->drawLine(cross.topRight(), cross.bottomLeft());
    } else {
        painter->setPen(QPen(Qt::gray, 1, Qt::DotLine));
        painter->drawRect(inner.adjusted(0, 0, -1, -1));
    }

    // The check square, then the label.
    const QRect box = checkRect(cell);
    painter->drawPixmap(box.topLeft(), checkPixmap(checked, box, option.widget));

    const QRect label(box.right() + 3, cell.y() + 4 + m_boxH + 8,
                      cell.x() + 4 + m_boxW + 8 - box.right() - 5, lh + 2);
    painter->setFont(m_font);
    painter->setPen(selected ? selectedLabelColour(option.palette.color(QPalette::Highlight), fill)
                             : QColor(Qt::black));
    const QStaticText& text = labelFor(labelText(index), label.width());
    const QSizeF size = text.size();
    painter->drawStaticText(QPointF(label.x() + (label.width() - size.width()) / 2,
                                    label.y() + (label.height() - size.height()) / 2),
                            text);
    if (option.state & QStyle::State_HasFocus) {
        painter->setPen(QPen(option.palette.color(QPalette::Highlight), 1, Qt::DotLine));
        painter->drawRect(back.adjusted(1, 1, -2, -2));
    }
    painter->restore();
}

}  // namespace tnw::app
