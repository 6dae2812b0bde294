#include "common/template_expand.h"

#include "common/platform/cp932.h"

#include <cstdio>
#include <optional>

namespace tnw::common {
namespace {

std::string twoDigits(int v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

// The codes shared by "&" and "%": date and time of the walk's clock reading.
std::optional<std::string> dateCode(char code, const LocalTime& t)
{
    char buf[16];
    switch (code) {
    case 'Y':
        std::snprintf(buf, sizeof buf, "%04d", t.year);
        return std::string(buf);
    case 'y':
        return twoDigits(((t.year % 100) + 100) % 100);
    case 'g':
        return eraYear(t);
    case 'm':
        return twoDigits(t.month);
    case 'D':
        return twoDigits(t.day);
    case 'h':
        return twoDigits(t.hour);
    case 't':
        return twoDigits(t.minute);
    case 's':
        return twoDigits(t.second);
    default:
        return std::nullopt;
    }
}

// The codes after "&" other than the date: names, and the naming context of a page. No caller
// sets a page number, sequence number or paper name, so outside previews these write nothing,
// and the orientation is portrait.
std::string ampCode(char code, const TemplateValues& v)
{
    switch (code) {
    case '&':
        return "&";
    case 'd':
        return v.folder;
    case 'f':
        return v.file;
    case 'p':
        return v.preview ? platform::sjis("ﾍﾟｰｼﾞ番号") : std::string();
    case 'n':
        return v.preview ? platform::sjis("順序番号") : std::string();
    case 'r':
        return v.preview ? platform::sjis("用紙サイズ名") : std::string();
    case 'T':
        return v.preview ? "|TY|" : "T";
    case 'V':
        return v.preview ? "|VH|" : "V";
    case 'v':
        return v.preview ? platform::sjis("|縦横|") : platform::sjis("縦");
    default:
        return {};
    }
}

}  // namespace

Clock systemClock()
{
    return [] { return localTimeOf(std::time(nullptr)); };
}

Clock fixedClock(const LocalTime& time)
{
    return [time] { return time; };
}

LocalTime localTimeOf(std::time_t t)
{
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::string timeStamp(const LocalTime& t, bool padYear)
{
    char buf[64];
    const char* form = padYear ? "%04d%02d%02d_%02d%02d%02d" : "%d%02d%02d_%02d%02d%02d";
    std::snprintf(buf, sizeof buf, form, t.year, t.month, t.day, t.hour, t.minute, t.second);
    return buf;
}

std::string eraYear(const LocalTime& t)
{
    const bool reiwa = t.year > 2019 || (t.year == 2019 && t.month >= 5);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d", reiwa ? t.year - 2018 : t.year - 1988);
    return platform::sjis(reiwa ? "令和" : "平成") + buf;
}

std::string expandTemplate(std::string_view templ, const TemplateValues& values,
                           const LocalTime& ampTime, const LocalTime& pctTime)
{
    enum class State { Normal, AfterAmp, AfterPct };
    State state = State::Normal;
    std::string out;
    for (size_t i = 0; i < templ.size(); ++i) {
        const char c = templ[i];
        if (platform::isLeadByte(static_cast<unsigned char>(c))) {
            // A double-byte character is text, never a code: a pending "&" or "%" is dropped.
            out += c;
            if (i + 1 < templ.size())
                out += templ[++i];
            state = State::Normal;
            continue;
        }
        switch (state) {
        case State::Normal:
            if (c == '&')
                state = State::AfterAmp;
            else if (c == '%')
                state = State::AfterPct;
            else
                out += c;
            break;
        case State::AfterAmp:
            if (auto date = dateCode(c, ampTime))
                out += *date;
            else
                out += ampCode(c, values);
            state = State::Normal;
            break;
        case State::AfterPct:
            if (auto date = dateCode(c, pctTime))
                out += *date;
            else if (c == '%')
                out += '%';
            state = State::Normal;
            break;
        }
    }
    return out;
}

}  // namespace tnw::common
