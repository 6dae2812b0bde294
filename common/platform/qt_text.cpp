#include "common/platform/qt_text.h"

#include "common/platform/cp932.h"

namespace tnw::platform {

QString fromCp932(std::string_view cp932)
{
    const std::string utf8 = cp932ToUtf8Lossy(cp932);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

bool toCp932(const QString& text, std::string& out)
{
    out.clear();
    const QByteArray utf8 = text.toUtf8();
    // A lone surrogate has no UTF-8 form: toUtf8 puts '?' in its place, which must not pass.
    if (QString::fromUtf8(utf8) != text)
        return false;
    return utf8ToCp932(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())), out);
}

int cp932Length(const QString& text)
{
    std::string bytes;
    if (!toCp932(text, bytes))
        return -1;
    return static_cast<int>(bytes.size());
}

}  // namespace tnw::platform
