#include "app/core/tree/folder_tree_model.h"

#include "common/platform/files.h"
#include "common/platform/folder_probe.h"
#include "common/platform/locale_compare.h"
#include "common/platform/qt_text.h"

#include <algorithm>
#include <set>

namespace tnw::app {

struct FolderTreeModel::Node {
    Node* parent = nullptr;
    size_t row = 0;
    std::string path;    // code page 932 full path; "" for a bad name
    std::string name;    // code page 932 name ("/" for the root); "" for a bad name
    std::string osName;  // the name as the file system has it
    QString display;
    bool usable = true;
    bool fetched = false;
    bool listable = true;
    mutable int hasSub = -1;  // -1 not asked yet
    std::vector<std::unique_ptr<Node>> children;
};

namespace {

std::string joinPath(const std::string& folder, const std::string& name)
{
    return folder == "/" ? "/" + name : folder + "/" + name;
}

}  // namespace

FolderTreeModel::FolderTreeModel(QObject* parent)
    : QAbstractItemModel(parent), m_top(std::make_unique<Node>()), m_compare(platform::localeCompare)
{
    auto root = std::make_unique<Node>();
    root->parent = m_top.get();
    root->path = "/";
    root->name = "/";
    root->osName = "/";
    root->display = QStringLiteral("/");
    m_top->fetched = true;
    m_top->children.push_back(std::move(root));
}

FolderTreeModel::~FolderTreeModel() = default;

QString FolderTreeModel::badNameTip()
{
    return QString::fromUtf8("Shift_JIS(CP932)で表せない名前のため使用できません。");
}

void FolderTreeModel::setCompare(Compare compare)
{
    m_compare = compare ? std::move(compare) : Compare(platform::localeCompare);
}

void FolderTreeModel::setIcons(const QIcon& folder, const QIcon& home,
                               const std::string& homePath)
{
    m_folderIcon = folder;
    m_homeIcon = home;
    m_homePath = homePath;
}

FolderTreeModel::Node* FolderTreeModel::nodeOf(const QModelIndex& index) const
{
    return index.isValid() ? static_cast<Node*>(index.internalPointer()) : m_top.get();
}

QModelIndex FolderTreeModel::indexOf(const Node* node) const
{
    if (!node || node == m_top.get())
        return {};
    return createIndex(static_cast<int>(node->row), 0, const_cast<Node*>(node));
}

QModelIndex FolderTreeModel::rootIndex() const
{
    return indexOf(m_top->children.front().get());
}

std::string FolderTreeModel::pathOf(const QModelIndex& index) const
{
    return index.isValid() ? nodeOf(index)->path : std::string();
}

bool FolderTreeModel::isUsable(const QModelIndex& index) const
{
    return index.isValid() && nodeOf(index)->usable;
}

bool FolderTreeModel::isListable(const QModelIndex& index) const
{
    return index.isValid() && nodeOf(index)->listable;
}

// Usable names in the chosen order, then the bad names by their bytes.
bool FolderTreeModel::before(const Node& a, const Node& b) const
{
    if (a.usable != b.usable)
        return a.usable;
    if (!a.usable)
        return a.osName < b.osName;
    const int c = m_compare(a.name, b.name);
    return c != 0 ? c < 0 : a.name < b.name;
}

std::vector<std::unique_ptr<FolderTreeModel::Node>> FolderTreeModel::readChildren(Node* node,
                                                                                  bool& ok) const
{
    std::vector<std::unique_ptr<Node>> out;
    std::vector<platform::FolderEntry> entries;
    ok = platform::listFolder(node->path, entries);
    if (!ok)
        return out;
    for (platform::FolderEntry& e : entries) {
        if (!e.isFolder || e.osName.empty() || e.osName[0] == '.')
            continue;
        auto child = std::make_unique<Node>();
        child->parent = node;
        child->osName = std::move(e.osName);
        child->usable = !e.badName;
        if (child->usable) {
            child->name = std::move(e.name);
            child->path = joinPath(node->path, child->name);
            child->display = platform::fromCp932(child->name);
        } else {
            child->display = QString::fromUtf8(child->osName.data(),
                                               static_cast<qsizetype>(child->osName.size()));
            child->fetched = true;
            child->hasSub = 0;
        }
        out.push_back(std::move(child));
    }
    std::stable_sort(out.begin(), out.end(),
                     [this](const auto& a, const auto& b) { return before(*a, *b); });
    return out;
}

void FolderTreeModel::renumber(Node* parent, size_t from)
{
    for (size_t i = from; i < parent->children.size(); ++i)
        parent->children[i]->row = i;
}

void FolderTreeModel::list(Node* node)
{
    if (node->fetched || !node->usable)
        return;
    node->fetched = true;
    bool ok = false;
    std::vector<std::unique_ptr<Node>> children = readChildren(node, ok);
    node->listable = ok;
    if (children.empty()) {
        node->hasSub = 0;
        return;
    }
    beginInsertRows(indexOf(node), 0, static_cast<int>(children.size()) - 1);
    node->children = std::move(children);
    renumber(node, 0);
    node->hasSub = 1;
    endInsertRows();
}

int FolderTreeModel::insertPosition(const Node* parent, const Node& child) const
{
    const auto it = std::upper_bound(parent->children.begin(), parent->children.end(), child,
                                     [this](const Node& c, const auto& n) { return before(c, *n); });
    return static_cast<int>(it - parent->children.begin());
}

void FolderTreeModel::insertChild(Node* parent, std::unique_ptr<Node> child)
{
    const int row = insertPosition(parent, *child);
    child->parent = parent;
    beginInsertRows(indexOf(parent), row, row);
    parent->children.insert(parent->children.begin() + row, std::move(child));
    renumber(parent, static_cast<size_t>(row));
    parent->hasSub = 1;
    endInsertRows();
}

QModelIndex FolderTreeModel::locate(const std::string& path)
{
    if (path.empty() || path[0] != '/')
        return {};
    Node* node = m_top->children.front().get();
    size_t start = 1;
    while (start < path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string part = path.substr(start, end - start);
        start = end + 1;
        if (part.empty())
            continue;
        list(node);
        Node* next = nullptr;
        for (const auto& child : node->children) {
            if (child->usable && child->name == part) {
                next = child.get();
                break;
            }
        }
        if (!next) {
            const std::string childPath = joinPath(node->path, part);
            if (platform::pathKind(childPath) != platform::PathKind::Folder)
                return {};
            auto child = std::make_unique<Node>();
            child->name = part;
            child->osName = part;  // only compared as a name from here on
            child->path = childPath;
            child->display = platform::fromCp932(part);
            platform::toOsPath(part, child->osName);
            next = child.get();
            insertChild(node, std::move(child));
        }
        node = next;
    }
    return indexOf(node);
}

QModelIndex FolderTreeModel::findListed(const std::string& path) const
{
    if (path.empty() || path[0] != '/')
        return {};
    const Node* node = m_top->children.front().get();
    size_t start = 1;
    while (start < path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string part = path.substr(start, end - start);
        start = end + 1;
        if (part.empty())
            continue;
        const Node* next = nullptr;
        for (const auto& child : node->children) {
            if (child->usable && child->name == part) {
                next = child.get();
                break;
            }
        }
        if (!next)
            return {};
        node = next;
    }
    return indexOf(node);
}

std::vector<std::string> FolderTreeModel::childFolders(const QModelIndex& index)
{
    std::vector<std::string> out;
    Node* node = nodeOf(index);
    if (!index.isValid() || !node->usable)
        return out;
    list(node);
    for (const auto& child : node->children) {
        if (child->usable)
            out.push_back(child->path);
    }
    return out;
}

void FolderTreeModel::refresh()
{
    refreshNode(m_top->children.front().get());
    // Whether each item has sub-folders is asked afresh.
    emit layoutAboutToBeChanged();
    emit layoutChanged();
}

void FolderTreeModel::refreshNode(Node* node)
{
    if (!node->usable || !node->fetched)
        return;
    node->hasSub = -1;
    bool ok = false;
    std::vector<std::unique_ptr<Node>> fresh = readChildren(node, ok);
    node->listable = ok;
    std::set<std::string> names;
    for (const auto& f : fresh)
        names.insert(f->osName);

    // Vanished (and inserted hidden) folders go, from the end so rows stay valid.
    for (size_t i = node->children.size(); i-- > 0;) {
        if (names.count(node->children[i]->osName))
            continue;
        beginRemoveRows(indexOf(node), static_cast<int>(i), static_cast<int>(i));
        node->children.erase(node->children.begin() + static_cast<std::ptrdiff_t>(i));
        renumber(node, i);
        endRemoveRows();
    }
    std::set<std::string> kept;
    for (const auto& c : node->children)
        kept.insert(c->osName);
    for (auto& f : fresh) {
        if (!kept.count(f->osName))
            insertChild(node, std::move(f));
    }
    node->hasSub = node->children.empty() ? 0 : 1;
    for (const auto& child : node->children)
        refreshNode(child.get());
}

QModelIndex FolderTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    const Node* node = nodeOf(parent);
    if (column != 0 || row < 0 || static_cast<size_t>(row) >= node->children.size())
        return {};
    return createIndex(row, 0, node->children[static_cast<size_t>(row)].get());
}

QModelIndex FolderTreeModel::parent(const QModelIndex& child) const
{
    if (!child.isValid())
        return {};
    return indexOf(nodeOf(child)->parent);
}

int FolderTreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return 0;
    return static_cast<int>(nodeOf(parent)->children.size());
}

int FolderTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant FolderTreeModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const Node* node = nodeOf(index);
    switch (role) {
    case Qt::DisplayRole:
        return node->display;
    case Qt::DecorationRole:
        if (!m_homePath.empty() && node->path == m_homePath && !m_homeIcon.isNull())
            return m_homeIcon;
        return m_folderIcon.isNull() ? QVariant() : QVariant(m_folderIcon);
    case Qt::ToolTipRole:
        return node->usable ? QVariant() : QVariant(badNameTip());
    case PathRole:
        return QByteArray::fromStdString(node->path);
    case UsableRole:
        return node->usable;
    case ListableRole:
        return node->listable;
    default:
        return {};
    }
}

Qt::ItemFlags FolderTreeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (!nodeOf(index)->usable)
        return Qt::ItemNeverHasChildren;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

bool FolderTreeModel::hasChildren(const QModelIndex& parent) const
{
    const Node* node = nodeOf(parent);
    if (!parent.isValid())
        return true;
    if (!node->usable)
        return false;
    if (node->fetched)
        return !node->children.empty();
    if (node->hasSub < 0)
        node->hasSub = platform::hasSubFolder(node->path) ? 1 : 0;
    return node->hasSub > 0;
}

bool FolderTreeModel::canFetchMore(const QModelIndex& parent) const
{
    const Node* node = nodeOf(parent);
    return parent.isValid() && node->usable && !node->fetched;
}

void FolderTreeModel::fetchMore(const QModelIndex& parent)
{
    if (parent.isValid())
        list(nodeOf(parent));
}

}  // namespace tnw::app
