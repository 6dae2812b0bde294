#include "app/core/text/address_text.h"

#include "common/platform/files.h"
#include "common/platform/qt_text.h"

namespace tnw::app {
namespace {

constexpr size_t kMaxPath = 260;

}  // namespace

AddressCheck checkAddress(const QString& typed, const std::string& home)
{
    AddressCheck check;
    const QString& text = typed;
    if (text.isEmpty())
        return check;
    std::string bytes;
    if (!platform::toCp932(text, bytes)) {
        check.result = AddressCheck::BadName;
        return check;
    }
    if (bytes[0] == '~' && (bytes.size() == 1 || bytes[1] == '/')) {
        if (home.empty()) {
            check.result = AddressCheck::Missing;
            return check;
        }
        bytes = home + bytes.substr(1);
    }
    std::string full;
    if (bytes[0] != '/' || bytes.size() >= kMaxPath || !platform::fullPath(bytes, full) ||
        platform::pathKind(full) != platform::PathKind::Folder) {
        check.result = AddressCheck::Missing;
        return check;
    }
    check.result = AddressCheck::Folder;
    check.path = full;
    return check;
}

QString addressMessage(const AddressCheck& check, const QString& text)
{
    switch (check.result) {
    case AddressCheck::Missing:
        return QString::fromUtf8("%1 は存在しません。").arg(text);
    case AddressCheck::BadName:
        return QString::fromUtf8("不正な名前があります。");
    default:
        return {};
    }
}

}  // namespace tnw::app
