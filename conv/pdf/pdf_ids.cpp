#include "conv/pdf/pdf_ids.h"

#include <cstdio>

namespace tnw::conv {

int PdfRandom::next()
{
    m_next = m_next * 1103515245u + 12345u;
    return static_cast<int>((m_next / 65536u) % 32768u);
}

PdfRandom& threadPdfRandom()
{
    thread_local PdfRandom random;
    return random;
}

std::string makeFileIdentifier(PdfRandom& random)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string id;
    for (int i = 0; i < 4; ++i) {
        const auto value = static_cast<uint32_t>(random.next());
        for (int byte = 0; byte < 4; ++byte) {
            const uint32_t b = (value >> (8 * byte)) & 0xFF;
            id += kHex[b >> 4];
            id += kHex[b & 15];
        }
    }
    return id;
}

std::string pdfDateFromTiff(const std::string& dateTime)
{
    if (dateTime.size() < 19)
        return std::string();
    const std::string& t = dateTime;
    return "D:" + t.substr(0, 4) + t.substr(5, 2) + t.substr(8, 2) + t.substr(11, 2) +
           t.substr(14, 2) + t.substr(17, 2);
}

std::string pdfDateFromTime(const std::tm& time)
{
    char text[64];
    std::snprintf(text, sizeof text, "D:%.4d%.2d%.2d%.2d%.2d%.2d", time.tm_year + 1900,
                  time.tm_mon + 1, time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec);
    return text;
}

std::tm localNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

}  // namespace tnw::conv
