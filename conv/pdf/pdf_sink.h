// The one output path of the PDF writer: every byte of a PDF goes through a sink that keeps a
// running count of what was written since the first byte. Cross-reference offsets are taken
// from that count, never summed by hand. A sink writes into a stdio file (not owned) or, for
// tests, into memory.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace tnw::conv {

class PdfSink {
public:
    PdfSink() = default;                          // collects the bytes in memory
    explicit PdfSink(FILE* file) : m_file(file) {}  // writes into `file`
    PdfSink(const PdfSink&) = delete;
    PdfSink& operator=(const PdfSink&) = delete;

    // Writes `size` bytes; returns the number written (fewer only when the file failed). After
    // a failure nothing more is written and failed() stays true.
    size_t write(const void* data, size_t size);
    void put(std::string_view text) { write(text.data(), text.size()); }
    // Decimal, no leading zeros (the "%u" and "%d" of the byte templates).
    void putNumber(int64_t value);

    uint64_t count() const { return m_count; }
    bool failed() const { return m_failed; }
    // The bytes written by a memory sink.
    const std::string& bytes() const { return m_memory; }

private:
    FILE* m_file = nullptr;
    std::string m_memory;
    uint64_t m_count = 0;
    bool m_failed = false;
};

}  // namespace tnw::conv
