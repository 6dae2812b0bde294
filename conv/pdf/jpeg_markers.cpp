#include "conv/pdf/jpeg_markers.h"

#include "common/platform/cp932.h"

#include <algorithm>
#include <climits>

namespace tnw::conv {

namespace {

struct RawMarker {
    const char* brief;
    const char* name;
    std::uint16_t code;
    const char* detail;
};

// Descriptions in UTF-8; jpegMarkers() converts them to code page 932 once.
constexpr RawMarker kRawMarkers[] = {
    {"データ", "---", 0xFF00, "データ中のFFバイト(マーカではない)"},
    {"一時", "TEM", 0xFF01, "算術符号化の一時使用"},
    {"予約", "RES", 0xFF02, "予約済み"},
    {"予約", "RES", 0xFF4E, "予約済み"},
    {"開始", "SOC", 0xFF4F, "JPEG2000 コードストリーム開始"},
    {"画像", "SIZ", 0xFF51, "JPEG2000 画像とタイルの大きさ"},
    {"符号化", "COD", 0xFF52, "JPEG2000 符号化方式の既定値"},
    {"成分", "COC", 0xFF53, "JPEG2000 成分ごとの符号化方式"},
    {"長さ", "TLM", 0xFF55, "JPEG2000 タイルパートの長さ"},
    {"長さ", "PLM", 0xFF57, "JPEG2000 パケット長(主ヘッダ)"},
    {"長さ", "PLT", 0xFF58, "JPEG2000 パケット長(タイルパート)"},
    {"量子化", "QCD", 0xFF5C, "JPEG2000 量子化の既定値"},
    {"量子化", "QCC", 0xFF5D, "JPEG2000 成分ごとの量子化"},
    {"領域", "RGN", 0xFF5E, "JPEG2000 関心領域"},
    {"順序", "POC", 0xFF5F, "JPEG2000 進行順序の変更"},
    {"ヘッダ", "PPM", 0xFF60, "JPEG2000 パケットヘッダ(主ヘッダ)"},
    {"ヘッダ", "PPT", 0xFF61, "JPEG2000 パケットヘッダ(タイルパート)"},
    {"位置", "CRG", 0xFF63, "JPEG2000 成分の位置"},
    {"注釈", "COM", 0xFF64, "JPEG2000 コメント"},
    {"タイル", "SOT", 0xFF90, "JPEG2000 タイルパート開始"},
    {"パケット", "SOP", 0xFF91, "JPEG2000 パケット開始"},
    {"パケット", "EPH", 0xFF92, "JPEG2000 パケットヘッダ終了"},
    {"データ", "SOD", 0xFF93, "JPEG2000 データ開始"},
    {"フレーム", "SOF0", 0xFFC0, "ベースライン DCT"},
    {"フレーム", "SOF1", 0xFFC1, "拡張シーケンシャル DCT"},
    {"フレーム", "SOF2", 0xFFC2, "プログレッシブ DCT"},
    {"フレーム", "SOF3", 0xFFC3, "ロスレス"},
    {"ハフマン", "DHT", 0xFFC4, "ハフマン表の定義"},
    {"フレーム", "SOF5", 0xFFC5, "差分シーケンシャル DCT"},
    {"フレーム", "SOF6", 0xFFC6, "差分プログレッシブ DCT"},
    {"フレーム", "SOF7", 0xFFC7, "差分ロスレス"},
    {"拡張", "JPG", 0xFFC8, "JPEG 拡張用の予約"},
    {"フレーム", "SOF9", 0xFFC9, "拡張シーケンシャル DCT(算術符号)"},
    {"フレーム", "SOF10", 0xFFCA, "プログレッシブ DCT(算術符号)"},
    {"フレーム", "SOF11", 0xFFCB, "ロスレス(算術符号)"},
    {"算術", "DAC", 0xFFCC, "算術符号化条件の定義"},
    {"フレーム", "SOF13", 0xFFCD, "差分シーケンシャル DCT(算術符号)"},
    {"フレーム", "SOF14", 0xFFCE, "差分プログレッシブ DCT(算術符号)"},
    {"フレーム", "SOF15", 0xFFCF, "差分ロスレス(算術符号)"},
    {"リスタート", "RST0", 0xFFD0, "リスタートマーカ 0"},
    {"リスタート", "RST1", 0xFFD1, "リスタートマーカ 1"},
    {"リスタート", "RST2", 0xFFD2, "リスタートマーカ 2"},
    {"リスタート", "RST3", 0xFFD3, "リスタートマーカ 3"},
    {"リスタート", "RST4", 0xFFD4, "リスタートマーカ 4"},
    {"リスタート", "RST5", 0xFFD5, "リスタートマーカ 5"},
    {"リスタート", "RST6", 0xFFD6, "リスタートマーカ 6"},
    {"リスタート", "RST7", 0xFFD7, "リスタートマーカ 7"},
    {"開始", "SOI", 0xFFD8, "画像開始"},
    {"終了", "EOI", 0xFFD9, "画像終了"},
    {"スキャン", "SOS", 0xFFDA, "スキャン開始"},
    {"量子化", "DQT", 0xFFDB, "量子化表の定義"},
    {"行数", "DNL", 0xFFDC, "ライン数の定義"},
    {"リスタート", "DRI", 0xFFDD, "リスタート間隔の定義"},
    {"階層", "DHP", 0xFFDE, "階層プログレッションの定義"},
    {"拡張", "EXP", 0xFFDF, "参照成分の拡張"},
    {"アプリ", "APP0", 0xFFE0, "アプリケーション用 0 (JFIF)"},
    {"アプリ", "APP1", 0xFFE1, "アプリケーション用 1 (Exif)"},
    {"アプリ", "APP2", 0xFFE2, "アプリケーション用 2 (ICC)"},
    {"アプリ", "APP3", 0xFFE3, "アプリケーション用 3"},
    {"アプリ", "APP4", 0xFFE4, "アプリケーション用 4"},
    {"アプリ", "APP5", 0xFFE5, "アプリケーション用 5"},
    {"アプリ", "APP6", 0xFFE6, "アプリケーション用 6"},
    {"アプリ", "APP7", 0xFFE7, "アプリケーション用 7"},
    {"アプリ", "APP8", 0xFFE8, "アプリケーション用 8"},
    {"アプリ", "APP9", 0xFFE9, "アプリケーション用 9"},
    {"アプリ", "APP10", 0xFFEA, "アプリケーション用 10"},
    {"アプリ", "APP11", 0xFFEB, "アプリケーション用 11"},
    {"アプリ", "APP12", 0xFFEC, "アプリケーション用 12"},
    {"アプリ", "APP13", 0xFFED, "アプリケーション用 13"},
    {"アプリ", "APP14", 0xFFEE, "アプリケーション用 14 (色変換)"},
    {"アプリ", "APP15", 0xFFEF, "アプリケーション用 15"},
    {"拡張", "JPG0", 0xFFF0, "JPEG 拡張 0"},
    {"拡張", "JPG1", 0xFFF1, "JPEG 拡張 1"},
    {"拡張", "JPG2", 0xFFF2, "JPEG 拡張 2"},
    {"拡張", "JPG3", 0xFFF3, "JPEG 拡張 3"},
    {"拡張", "JPG4", 0xFFF4, "JPEG 拡張 4"},
    {"拡張", "JPG5", 0xFFF5, "JPEG 拡張 5"},
    {"拡張", "JPG6", 0xFFF6, "JPEG 拡張 6"},
    {"拡張", "JPG7", 0xFFF7, "JPEG 拡張 7"},
    {"拡張", "JPG8", 0xFFF8, "JPEG 拡張 8"},
    {"拡張", "JPG9", 0xFFF9, "JPEG 拡張 9"},
    {"拡張", "JPG10", 0xFFFA, "JPEG 拡張 10"},
    {"拡張", "JPG11", 0xFFFB, "JPEG 拡張 11"},
    {"拡張", "JPG12", 0xFFFC, "JPEG 拡張 12"},
    {"拡張", "JPG13", 0xFFFD, "JPEG 拡張 13"},
    {"注釈", "COM", 0xFFFE, "コメント"},
};
static_assert(std::size(kRawMarkers) == 86);

constexpr std::array<bool, 256> makeCodeSet()
{
    std::array<bool, 256> set{};
    for (const RawMarker& m : kRawMarkers)
        set[m.code & 0xFF] = true;
    return set;
}
constexpr std::array<bool, 256> kCodeSet = makeCodeSet();

std::uint16_t bigEndian16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] << 8 | p[1]);
}

}  // namespace

const std::vector<JpegMarker>& jpegMarkers()
{
    static const std::vector<JpegMarker> table = [] {
        std::vector<JpegMarker> t;
        t.reserve(std::size(kRawMarkers));
        for (const RawMarker& m : kRawMarkers)
            t.push_back({platform::sjis(m.brief), m.name, m.code, platform::sjis(m.detail)});
        return t;
    }();
    return table;
}

bool isJpegMarkerCode(std::uint8_t code)
{
    return kCodeSet[code];
}

int scanJpegMarkers(const std::uint8_t* data, std::size_t size, JpegMarkerScan& scan)
{
    scan.counts.fill(0);
    scan.error = false;
    auto fail = [&](int code) {
        scan.error = true;
        return code;
    };
    if (!data)
        size = 0;

    bool found = false;
    bool sawSoi = false;
    std::size_t p = 0;
    // Marker segments up to the first SOS.
    while (p < size) {
        if (data[p] != 0xFF) {
            ++p;
            continue;
        }
        if (size - p < 2)
            return fail(kScanBadMarker);
        const std::uint8_t code = data[p + 1];
        if (!kCodeSet[code])
            return fail(kScanBadMarker);
        if (code != 0) {
            found = true;  // a stuffed data byte is not a marker
            ++scan.counts[code];
        }
        if (code == kMarkerSoi) {
            if (sawSoi)
                return fail(kScanSecondSoi);
            sawSoi = true;
            p += 2;
            continue;
        }
        if (code == kMarkerEoi)
            return 0;
        if (code == 0) {
            p += 2;
            continue;
        }
        if (size - p - 2 < 2)
            return fail(kScanCutLength);
        const std::size_t length = bigEndian16(data + p + 2);
        if (length <= 2)
            return fail(kScanBadLength);
        const std::size_t end = p + 2 + length;
        if (end > size || size - end < 2)
            return fail(kScanCutSegment);
        p = end;
        if (code == kMarkerSos)
            break;
    }
    // Entropy-coded data: every marker inside is counted (RSTn, and DQT, DRI and further SOS
    // of the following scans).
    for (; p + 1 < size; ++p) {
        if (data[p] == 0xFF && data[p + 1] != 0 && kCodeSet[data[p + 1]]) {
            found = true;
            ++scan.counts[data[p + 1]];
        }
    }
    if (!found) {
        scan.error = true;
        return static_cast<int>(std::min<std::size_t>(size, INT_MAX));
    }
    return 0;
}

}  // namespace tnw::conv
