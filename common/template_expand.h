// The meta-character template language of output names: "&" and "%" codes for the date and
// time, the folder and file names, and (in previews) sample texts. Texts are code page 932.
#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <string_view>

namespace tnw::common {

// A local date and time, broken down as names use it.
struct LocalTime {
    int year = 0;
    int month = 0;  // 1-12
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Where "now" comes from; tests hand in a fixed clock.
using Clock = std::function<LocalTime()>;
Clock systemClock();
Clock fixedClock(const LocalTime& time);
LocalTime localTimeOf(std::time_t t);

// "%04d%02d%02d_%02d%02d%02d" (padded year) or "%d%02d%02d_%02d%02d%02d".
std::string timeStamp(const LocalTime& t, bool padYear = true);

// The Japanese era year of a date, code page 932: "令和N" from 2019-05-01 (N = year - 2018),
// "平成N" before (N = year - 1988).
std::string eraYear(const LocalTime& t);

// The values the template's name codes stand for.
struct TemplateValues {
    std::string folder;  // "&d"
    std::string file;    // "&f"
    bool preview = false;  // page, sequence, paper and orientation codes give sample texts
};

// Preview kinds of the settings dialogs.
enum class PreviewKind {
    Folder = 1,  // folder naming: sample folder name, no file name
    File = 2,    // file naming: sample folder and file names
};

// Walks `templ` and writes its expansion. `ampTime` serves the "&" codes, `pctTime` the "%"
// codes. A double-byte character is copied whole; an unknown code writes nothing.
std::string expandTemplate(std::string_view templ, const TemplateValues& values,
                           const LocalTime& ampTime, const LocalTime& pctTime);

// A template held in a fixed record field: the text up to its zero, at most 79 bytes.
template <size_t N>
std::string_view templateField(const char (&field)[N])
{
    size_t n = 0;
    while (n + 1 < N && field[n] != '\0')
        ++n;
    return std::string_view(field, n);
}

// A text held in a fixed record field: up to its zero, or the whole field when it has none, so
// that a caller refuses an overlong value by its length instead of using a cut one.
template <size_t N>
std::string_view fieldText(const char (&field)[N])
{
    size_t n = 0;
    while (n < N && field[n] != '\0')
        ++n;
    return std::string_view(field, n);
}

}  // namespace tnw::common
