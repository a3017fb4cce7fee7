// What the add bar makes of pasted text: the store and the ASIN.
#include "FuzzSupport.h"
#include "ProductLink.h"

#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzSupport::Start();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString locale = ProductLink::DetectLocale(text);
    FUZZ_CHECK(locale.isEmpty() || Global::AmazonLocale.contains(locale));

    const QString asin = ProductLink::ExtractAsin(text);
    const QString trimmed = text.trimmed();
    bool marked = false;
    for (const char* marker : { "/offer-listing/", "/dp/", "/product/", "/asin/" })
        marked = marked || trimmed.contains(QLatin1String(marker), Qt::CaseInsensitive);
    if (!marked) {
        FUZZ_CHECK(asin == trimmed);
    } else {
        // One path segment of the text, without query or fragment.
        FUZZ_CHECK(trimmed.contains(asin));
        FUZZ_CHECK(!asin.contains('/') && !asin.contains('?') && !asin.contains('#'));
    }
    return 0;
}
