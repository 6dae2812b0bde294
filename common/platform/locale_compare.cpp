#include "common/platform/locale_compare.h"

#include "common/platform/qt_text.h"

#include <QCollator>
#include <QLocale>
#include <QString>

#include <atomic>
#include <memory>
#include <mutex>

namespace tnw::platform {
namespace {

std::atomic<LocaleCompareMode> g_mode{LocaleCompareMode::Japanese};

int sign(int r)
{
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int byteCompare(std::string_view a, std::string_view b)
{
    return sign(a.compare(b));  // char_traits<char>::compare orders bytes as unsigned char
}

// A real collation puts letters before case ("a" < "B") and kana before their kind
// ("アイ" < "あう": ア and あ are one letter, イ comes before う); code point order, which is
// what a collator left without tables falls back to, gets both the other way round.
bool collates(const QCollator& collator)
{
    return collator.compare(QStringLiteral("a"), QStringLiteral("B")) < 0 &&
           collator.compare(QString::fromUtf8("アイ"), QString::fromUtf8("あう")) < 0;
}

// A QCollator is not safe to share between threads without a lock.
std::mutex collatorMutex;

// The one Japanese collator of the process (made on first use), or null when Qt has no
// Japanese collation. Callers hold `collatorMutex`.
QCollator* japaneseCollator()
{
    static const std::unique_ptr<QCollator> collator = [] {
        auto made = std::make_unique<QCollator>(QLocale(QLocale::Japanese, QLocale::Japan));
        made->setCaseSensitivity(Qt::CaseSensitive);
        return collates(*made) ? std::move(made) : nullptr;
    }();
    return collator.get();
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

bool japaneseCollationAvailable()
{
    std::lock_guard<std::mutex> lock(collatorMutex);
    return japaneseCollator() != nullptr;
}

int localeCompare(std::string_view a, std::string_view b)
{
    if (g_mode == LocaleCompareMode::C || a == b)
        return byteCompare(a, b);
    std::lock_guard<std::mutex> lock(collatorMutex);
    QCollator* collator = japaneseCollator();
    if (!collator)
        return byteCompare(a, b);
    return sign(collator->compare(fromCp932(a), fromCp932(b)));
}

}  // namespace tnw::platform
