// ThumbnailDelegate: draws one thumbnail cell: the background (the mode's colour and sunken
// when marked, light grey and raised otherwise), the picture centred in its area (a pending
// one as a dotted frame, a failed one light grey with a dark red cross), the check square and
// the label elided on one line. Painting never decodes: it only asks the store.
#pragma once

#include "app/core/thumbs/thumbnail_store.h"

#include <QColor>
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

private:
    const ThumbnailStore& m_store;
    Label m_label;
    int m_boxW = 120;
    int m_boxH = 120;
    int m_mode = 0;
    QColor m_colour;
};

}  // namespace tnw::app
