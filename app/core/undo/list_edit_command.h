// One undo step: the lists before and after an edit. The edit itself has been applied when
// the command is pushed, so its first redo does nothing; later redos apply "after", undo
// restores "before" whole.
#pragma once

#include "app/core/undo/lists_snapshot.h"
#include "app/core/undo/row_edits.h"

#include <QUndoCommand>

#include <functional>

namespace tnw::app {

class ListEditCommand : public QUndoCommand {
public:
    using Apply = std::function<void(const ListsSnapshot&)>;

    ListEditCommand(EditKind kind, ListsSnapshot before, ListsSnapshot after, Apply apply);

    EditKind kind() const { return m_kind; }
    const ListsSnapshot& before() const { return m_before; }
    const ListsSnapshot& after() const { return m_after; }

    void undo() override;
    void redo() override;

private:
    EditKind m_kind;
    ListsSnapshot m_before;
    ListsSnapshot m_after;
    Apply m_apply;
    bool m_applied = true;
};

}  // namespace tnw::app
