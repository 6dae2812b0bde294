// ThumbnailDelegate: draws one thumbnail cell: the background (the mode's colour and sunken
// when marked, light grey and raised otherwise), the picture centred in its area (a pending
// one as a dotted frame, a failed one light grey with a dark red cross), the check square and
// the label elided on one line. Painting never decodes: it only asks the store.
#pragma once

#include "app/core/thumbs/thumbnail_store.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QPixmap>
#include <QStaticText>
#include <QStyledItemDelegate>

#include <functional>

namespace tnw::app {

class ThumbnailDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    enum class Label { NameExt, NamePage };

    ThumbnailDelegate(const ThumbnailStore& store, Label label, QObject* parent = nullptr);

    void setBox(int width, int height);
    // 0 no marking, 1 marked when checked, 2 and 3 marked when selected.
    void setMarkMode(int mode, const QColor& colour);
    int labelHeight() const;
    QSize cellSize() const;
    // The check square of a cell at `cell`.
    QRect checkRect(const QRect& cell) const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    QString labelText(const QModelIndex& index) const;
    // The tooltip of a cell: "読込失敗 (%d)" with the failure code, "読込警告 (%d)" with the
    // decoder's warning count for a picture made from a damaged file (the missing part drawn
    // grey), else nothing (the list's own tooltip then shows).
    QString toolTip(const QModelIndex& index) const;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view,
                   const QStyleOptionViewItem& option, const QModelIndex& index) override;

private:
    // The check square drawn by the style once per state and kept (drawing it is a large
    // part of a cell's cost).
    const QPixmap& checkPixmap(bool checked, const QRect& rect, const QWidget* widget) const;
    // The cell's background (fill and edge) drawn once per kind (marked or not) and kept.
    const QPixmap& backPixmap(bool marked, const QSize& size, const QPalette& palette,
                              qreal ratio) const;
    // A label elided to `width` and laid out once (shaping text is most of a cell's cost).
    const QStaticText& labelFor(const QString& text, int width) const;

    const ThumbnailStore& m_store;
    QFont m_font;
    int m_labelHeight = 0;
    mutable QPixmap m_check[2];
    mutable qreal m_checkRatio = 0;
    struct Back {
        QPixmap pixmap;
        QColor fill;
        qint64 palette = 0;
    };
    mutable Back m_back[2];
    mutable QHash<QString, QStaticText> m_labels;
    mutable int m_labelWidth = -1;
    Label m_label;
    int m_boxW = 120;
    int m_boxH = 120;
    int m_mode = 0;
    QColor m_colour;
};

}  // namespace tnw::app
