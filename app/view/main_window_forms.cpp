// The main window's paper form command: the sheet library's paper form dialog on the program's
// tnwForm.ini, and after a save the form table reloaded so every paper-size cell is matched
// again (update hint 12).
#include "app/view/main_window.h"

#include "app/core/lists/list_models.h"
#include "common/module_paths.h"
#include "common/paper_form.h"
#include "tnwsheet.h"

namespace tnw::app {

void MainWindow::runPaperForms()
{
    const std::string path = common::ModulePaths::paperFormFile();
    if (shxDlgForm(this, path.c_str(), 0) >= 0)
        m_frame.send(Hint::PaperFormsChanged);
}

void MainWindow::reloadPaperForms()
{
    m_forms->LoadForms(common::ModulePaths::paperFormFile().c_str());
    // The models match each page against the table when a cell is asked for.
    for (ListModelBase* model : {static_cast<ListModelBase*>(m_fileModel),
                                 static_cast<ListModelBase*>(m_pageModel)}) {
        const int rows = model->rowCount();
        if (rows > 0)
            emit model->dataChanged(model->index(0, 0),
                                    model->index(rows - 1, model->columnCount() - 1));
    }
    updateSelectionPanes();
}

}  // namespace tnw::app
