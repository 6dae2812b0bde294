// FolderTreeModel: the computer's folders under one root "/", listed lazily through the
// platform layer. Every item is a real folder with a code page 932 path; a folder whose name
// has no code page 932 form is shown greyed and can be neither chosen nor opened. Folders
// whose names start with '.' are left out unless a typed path goes through one, which is then
// inserted and kept until the next refresh.
#pragma once

#include <QAbstractItemModel>
#include <QIcon>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tnw::app {

class FolderTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Role {
        PathRole = Qt::UserRole + 1,  // QByteArray: the code page 932 full path ("" bad name)
        UsableRole,                   // bool: the name has a code page 932 form
        ListableRole,                 // bool: false once listing the folder failed
    };
    // Orders two code page 932 names (< 0: the first goes first).
    using Compare = std::function<int(std::string_view, std::string_view)>;

    explicit FolderTreeModel(QObject* parent = nullptr);
    ~FolderTreeModel() override;

    // The order of the children of a folder (the locale comparison unless set).
    void setCompare(Compare compare);
    // Icons: a plain folder, and the user's home folder (`homePath`, code page 932).
    void setIcons(const QIcon& folder, const QIcon& home, const std::string& homePath);

    QModelIndex rootIndex() const;
    // The code page 932 path of an item; "" for an invalid index or a bad name.
    std::string pathOf(const QModelIndex& index) const;
    bool isUsable(const QModelIndex& index) const;
    bool isListable(const QModelIndex& index) const;

    // Walks from "/" to the full path `path`, listing each level on the way; names are
    // compared byte for byte. A component that is a folder on disk but not in the model (a
    // hidden folder, or one under a folder that cannot be listed) is inserted. An invalid
    // index when a component is no folder.
    QModelIndex locate(const std::string& path);
    // The item of `path` among the items listed so far, without listing or inserting.
    QModelIndex findListed(const std::string& path) const;

    // The paths of the usable child folders of an item, in the tree's order (lists it first).
    std::vector<std::string> childFolders(const QModelIndex& index);

    // Lists every listed folder again: vanished folders go, new ones come in, the items that
    // stay keep their places (and so the view's expansion). Inserted hidden folders go.
    void refresh();

    // QAbstractItemModel
    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // The tooltip of a name without a code page 932 form.
    static QString badNameTip();

private:
    struct Node;

    Node* nodeOf(const QModelIndex& index) const;
    QModelIndex indexOf(const Node* node) const;
    void list(Node* node);
    std::vector<std::unique_ptr<Node>> readChildren(Node* node, bool& ok) const;
    bool before(const Node& a, const Node& b) const;
    int insertPosition(const Node* parent, const Node& child) const;
    void insertChild(Node* parent, std::unique_ptr<Node> child);
    void refreshNode(Node* node);
    static void renumber(Node* parent, size_t from);

    std::unique_ptr<Node> m_top;  // invisible; holds the root "/"
    Compare m_compare;
    QIcon m_folderIcon;
    QIcon m_homeIcon;
    std::string m_homePath;
};

}  // namespace tnw::app
