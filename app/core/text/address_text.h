// What text typed into the address box names.
#pragma once

#include <QString>

#include <string>

namespace tnw::app {

struct AddressCheck {
    enum Result {
        Empty,    // nothing typed: nothing happens
        Missing,  // "%s は存在しません。"
        BadName,  // "不正な名前があります。"
        Folder,   // `path` is the full code page 932 path of an existing folder
    };
    Result result = Empty;
    std::string path;
};

// A leading "~" stands for `home` (code page 932; "" when there is none). A text that does not
// then start with "/", or is 260 bytes or longer, is missing; a text without a code page 932
// form is a bad name; otherwise its full path (made lexically) must be a folder.
AddressCheck checkAddress(const QString& text, const std::string& home);

// The message for a result (UTF-8 texts of the messages, with the typed text put in).
QString addressMessage(const AddressCheck& check, const QString& text);

}  // namespace tnw::app
