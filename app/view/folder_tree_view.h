// The folder tree pane: shows FolderTreeModel, reports the folders chosen in it to the frame
// and goes to typed paths.
#pragma once

#include <QTimer>
#include <QTreeView>

#include <functional>
#include <string>

namespace tnw::app {

class FolderTreeModel;

class FolderTreeView : public QTreeView {
    Q_OBJECT
public:
    explicit FolderTreeView(FolderTreeModel* model, QWidget* parent = nullptr);

    // The frame's mode and batch level at the time of a choice (nMode, nBatchLevel).
    void setBatchSource(std::function<int()> mode, std::function<int()> batchLevel);

    // Selects `home` (code page 932) expanded and scrolled into view, or "/" when it is empty
    // or not in the tree. Reports the choice.
    void selectStart(const std::string& home);

    // Opens the tree down to `path` and selects it, reporting the choice at once. False when
    // the path cannot be found (nothing selected then).
    bool goTo(const std::string& path);

    // Lists every listed folder again, keeping expansion and the selection by path; a selected
    // folder that vanished gives way to its nearest existing ancestor, without a report.
    void refresh();

    // Clears the selection without a report.
    void clearChoice();

    std::string currentPath() const;

signals:
    // A folder chosen: `flag` 0 a new choice, 1 an additional folder of a batch.
    void folderChosen(const QByteArray& path, int flag);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void report(const QModelIndex& index);
    void selectQuietly(const QModelIndex& index);

    FolderTreeModel* m_model;
    QTimer m_keyDelay;
    QPersistentModelIndex m_pending;
    bool m_mouse = false;
    bool m_quiet = false;
    std::function<int()> m_mode;
    std::function<int()> m_batchLevel;
};

}  // namespace tnw::app
