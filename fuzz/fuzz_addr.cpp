// The options dialog's address conversions: any text converts without a crash, and every
// value reads back from both of its display forms.
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "AddrEdit.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The bytes as UTF-8 text, and as UTF-16 units so that any character reaches the parsers.
    const QString utf8 = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    QString utf16(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(utf16.data(), data, size / 2 * 2);
    for (const QString& text : {utf8, utf16}) {
        const std::int32_t asInteger = AddrTextAsInteger(text);
        const std::int32_t asHex = AddrTextAsHex(text);
        // A converted value shows in either form and reads back unchanged.
        for (std::int32_t v : {asInteger, asHex}) {
            if (AddrTextAsInteger(AddrDecimalText(v)) != v || AddrTextAsInteger(AddrHexText(v)) != v ||
                AddrTextAsHex(AddrHexText(v)) != v)
                std::abort();
        }
    }
    if (size >= 4) {
        std::int32_t v;
        std::memcpy(&v, data, 4);
        if (AddrTextAsInteger(AddrDecimalText(v)) != v || AddrTextAsHex(AddrHexText(v)) != v)
            std::abort();
    }
    return 0;
}
