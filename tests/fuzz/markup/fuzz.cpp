// Feeds arbitrary bytes to the markup parser and walks whatever tree it accepts. The first
// byte picks the encoding, so all three byte readers are exercised.
#include <cstddef>
#include <cstdint>

#include "ui/core/XmlMarkup.h"

namespace {

void WalkTree(CXmlNode node, int nDepth)
{
    wchar_t szBuffer[8];
    for (; node.IsValid(); node = node.GetSibling()) {
        const int nCount = node.GetAttributeCount();
        for (int i = 0; i <= nCount; ++i) {
            const wchar_t* pName = node.GetAttributeName(i);
            node.GetAttributeValue(i);
            node.GetAttributeValue(pName, szBuffer, sizeof(szBuffer) / sizeof(szBuffer[0]));
        }
        node.GetValue();
        if (nDepth < 64) {
            WalkTree(node.GetChild(), nDepth + 1);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    if (nSize == 0) {
        return 0;
    }
    CXmlMarkup markup;
    if (markup.LoadFromMem(pData + 1, nSize - 1, pData[0] % 3)) {
        WalkTree(markup.GetRoot(), 0);
    }
    return 0;
}
