// Code page 932 <-> QString: the one place where the system's byte texts meet Qt's strings.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace tnw::platform {

// For display only: bytes that are not code page 932 become U+FFFD instead of failing.
QString fromCp932(std::string_view cp932);

// The code page 932 form of `text`. False (and `out` empty) when a character has no code page
// 932 form: the caller refuses the text, it is never substituted.
bool toCp932(const QString& text, std::string& out);

// Bytes of the code page 932 form of `text`; -1 when it has none.
int cp932Length(const QString& text);

}  // namespace tnw::platform
