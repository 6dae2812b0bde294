// The file identifier and the dates of a PDF.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace tnw::conv {

// The library's own pseudo-random generator: the linear congruential generator of the C
// standard's example (next = next * 1103515245 + 12345, value (next / 65536) % 32768), so its
// values lie in 0 to 32767 on every platform. It is never seeded: each thread's sequence starts
// at 1.
class PdfRandom {
public:
    int next();

private:
    uint32_t m_next = 1;
};

// The calling thread's generator.
PdfRandom& threadPdfRandom();

// Four successive values of `random`, each as a 32-bit little-endian integer, written as 32
// upper-case hexadecimal digits.
std::string makeFileIdentifier(PdfRandom& random);

// "D:" and the 14 digits of a TIFF DateTime ("YYYY:MM:DD HH:MM:SS"), taken by position; ""
// when the text is shorter than 19 characters.
std::string pdfDateFromTiff(const std::string& dateTime);

// "D:YYYYMMDDHHMMSS" of a broken-down local time.
std::string pdfDateFromTime(const std::tm& time);

// The current local time.
std::tm localNow();

}  // namespace tnw::conv
