// calendar.ini, read by ParseCalendarSettings.
#include "FuzzSupport.h"

#include "engine/settings/CalendarSettings.h"

using namespace tradevane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(fuzz::Bytes(data, size));
    CalendarSettings read;
    const std::optional<QString> badLine = parseCalendarSettings(text, read);
    if (badLine) {
        FUZZ_CHECK(!badLine->isEmpty());
        FUZZ_CHECK(text.contains(*badLine)); // the line as it stands in the file, trimmed
        return 0;
    }
    // What was read, written as the program writes it, reads back the same.
    CalendarSettings again {!read.skipHolidays};
    const QString written = u"[calendar]\nSkipHolidays="_qs + (read.skipHolidays ? u"1"_qs : u"0"_qs) + u'\n';
    FUZZ_CHECK(!parseCalendarSettings(written, again));
    FUZZ_CHECK(again == read);
    return 0;
}
