// The RTF reader of the help pages and the licence, as far as the text a terminal shows.
#include "FuzzSupport.h"

#include "platform/RtfReader.h"

using namespace tradevane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = richTextAsPlainText(fuzz::Bytes(data, size));
    if (size == 0)
        FUZZ_CHECK(text.isEmpty());
    return 0;
}
