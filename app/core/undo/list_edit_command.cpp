#include "app/core/undo/list_edit_command.h"

namespace tnw::app {

ListEditCommand::ListEditCommand(EditKind kind, ListsSnapshot before, ListsSnapshot after,
                                 Apply apply)
    : m_kind(kind), m_before(std::move(before)), m_after(std::move(after)),
      m_apply(std::move(apply))
{
}

void ListEditCommand::undo()
{
    m_apply(m_before);
    m_applied = false;
}

void ListEditCommand::redo()
{
    if (m_applied)
        return;  // the push after the edit: the lists already show "after"
    m_apply(m_after);
    m_applied = true;
}

}  // namespace tnw::app
