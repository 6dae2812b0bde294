#include "conv/pdf/pdf_page_objects.h"

#include "conv/pdf/pdf_text.h"

namespace tnw::conv {

namespace {

std::string colorSpaceText(const PageParams& p, int paletteObject)
{
    if (p.colorSpace & kCsPalette) {
        return "[ /Indexed /DeviceRGB \r" + std::to_string((1 << p.bitsPerSample) - 1) + " " +
               std::to_string(paletteObject) + " 0 R ]\r";
    }
    if (p.colorSpace & (kCsBilevel | kCsGray))
        return "/DeviceGray \r";
    if (p.colorSpace & kCsRgb)
        return "/DeviceRGB \r";
    if (p.colorSpace & kCsCmyk)
        return "/DeviceCMYK \r";
    if (p.colorSpace & kCsLab) {
        const double x = p.whiteX;
        const double y = p.whiteY;
        return "[/Lab << \r/WhitePoint [" + fixed4(x / y) + " " + fixed4(1.0) + " " +
               fixed4((1.0 - x - y) / y) + "] \r/Range [" + std::to_string(p.labRange[0]) + " " +
               std::to_string(p.labRange[1]) + " " + std::to_string(p.labRange[2]) + " " +
               std::to_string(p.labRange[3]) + "] \r>>] \r";
    }
    return std::string();
}

std::string decodeText(const PageParams& p)
{
    if (p.decodeInvert != 1)
        return std::string();
    if ((p.colorSpace & kCsBilevel) && p.pdfCompression == kPdfCompG4)
        return std::string();
    std::string text = "/Decode [ ";
    for (int i = 0; i < p.samplesPerPixel; ++i)
        text += "1 0 ";
    return text + "]\r";
}

std::string filterText(const PageParams& p)
{
    switch (p.pdfCompression) {
    case kPdfCompG4: {
        std::string text = "/Filter /CCITTFaxDecode /DecodeParms << /K -1 /Columns " +
                           std::to_string(p.width) + " /Rows " + std::to_string(p.length);
        if (p.decodeInvert == 0)
            text += " /BlackIs1 true ";
        return text + ">>\r";
    }
    case kPdfCompDct:
        return "/Filter /DCTDecode ";
    case kPdfCompFlate:
        return "/Filter /FlateDecode ";
    default:
        return std::string();
    }
}

}  // namespace

std::string contentStreamData(const PageParams& p, int k)
{
    std::string text = "q  ";
    for (int i = 0; i < 6; ++i)
        text += fixed4(p.matrix[i]) + " ";
    return text + "cm /Im" + std::to_string(k) + " Do Q\r";
}

std::string imageDictionaryEntries(const PageParams& p, int k, int paletteObject)
{
    return "/Type /XObject \r/Subtype /Image \r/Name /Im" + std::to_string(k) + "\r/Width " +
           std::to_string(p.width) + "\r/Height " + std::to_string(p.length) +
           "\r/BitsPerComponent " + std::to_string(p.bitsPerSample) + "\r/ColorSpace " +
           colorSpaceText(p, paletteObject) + decodeText(p) + filterText(p);
}

void writePageAndContent(PdfSink& sink, PdfWriterContext& context, const PageParams& p, int k)
{
    const int n = beginObject(sink, context);
    sink.put("<<\r/Type /Page \r/Parent ");
    sink.putNumber(PdfWriterContext::kPages);
    sink.put(" 0 R \r");
    sink.put("/MediaBox [" + fixed4(p.mediaBox[0]) + " " + fixed4(p.mediaBox[1]) + " " +
             fixed4(p.mediaBox[2]) + " " + fixed4(p.mediaBox[3]) + "] \r");
    sink.put("/Contents ");
    sink.putNumber(n + 1);
    sink.put(" 0 R \r/Resources << \r/XObject <<\r/Im");
    sink.putNumber(k);
    sink.put(" ");
    sink.putNumber(n + 3 + p.extraObjects());
    sink.put(" 0 R >>\r/ProcSet [ ");
    if (p.colorSpace & (kCsBilevel | kCsGray)) {
        sink.put("/ImageB ");
    } else {
        sink.put("/ImageC ");
        if (p.colorSpace & kCsPalette)
            sink.put("/ImageI ");
    }
    sink.put("]\r>>\r>>\r");
    endObject(sink);

    const std::string content = contentStreamData(p, k);
    beginObject(sink, context);
    writeStream(sink, content, n + 2, std::string_view());
    endObject(sink);
    writeLengthObject(sink, context, content.size());
}

void writePaletteObject(PdfSink& sink, PdfWriterContext& context, const PageParams& p)
{
    beginObject(sink, context);
    writeStream(sink, p.palette, 0, std::string_view());
    endObject(sink);
}

uint64_t writeImageObject(PdfSink& sink, PdfWriterContext& context, const PageParams& p, int k,
                          std::string_view data)
{
    const int image = beginObject(sink, context);
    const int palette = image - 1;
    const uint64_t start =
        writeStream(sink, data, image + 1, imageDictionaryEntries(p, k, palette));
    endObject(sink);
    writeLengthObject(sink, context, data.size());
    return start;
}

}  // namespace tnw::conv
