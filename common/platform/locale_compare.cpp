#include "common/platform/locale_compare.h"

#include "common/platform/cp932.h"

#include <QCollator>
#include <QLocale>
#include <QString>

#include <atomic>
#include <memory>
#include <mutex>

namespace tnw::platform {
namespace {

std::atomic<LocaleCompareMode> g_mode{LocaleCompareMode::User};

int byteCompare(std::string_view a, std::string_view b)
{
    int r = a.compare(b);  // char_traits<char>::compare orders bytes as unsigned char
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

QString toQString(std::string_view cp932)
{
    const std::string utf8 = cp932ToUtf8Lossy(cp932);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace

void setLocaleCompareMode(LocaleCompareMode mode)
{
    g_mode = mode;
}

LocaleCompareMode localeCompareMode()
{
    return g_mode;
}

int localeCompare(std::string_view a, std::string_view b)
{
    if (g_mode == LocaleCompareMode::C)
        return byteCompare(a, b);
    if (a == b)
        return 0;
    // A collator is costly to make; keep one for the default locale it was made for.
    static std::mutex mutex;
    static std::unique_ptr<QCollator> collator;
    std::lock_guard<std::mutex> lock(mutex);
    const QLocale locale;
    if (!collator || collator->locale() != locale) {
        collator = std::make_unique<QCollator>(locale);
        collator->setCaseSensitivity(Qt::CaseSensitive);
    }
    int r = collator->compare(toQString(a), toQString(b));
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

}  // namespace tnw::platform
