// holidays.txt, read by ParseHolidayFile.
#include "FuzzSupport.h"

#include "engine/calendar/HolidayFile.h"

#include <QStringList>

using namespace tradevane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(fuzz::Bytes(data, size));
    const HolidayFileContents read = parseHolidayFile(text);
    const qsizetype lines = text.count(u'\n') + 1;
    for (const ExchangeCalendar::Day& closure : read.closures) {
        FUZZ_CHECK(closure.date.isValid());
        FUZZ_CHECK(!closure.name.isEmpty() && closure.name.size() <= 80);
        for (const char32_t c : closure.name.toUcs4())
            FUZZ_CHECK(QChar::isPrint(c)); // what reaches the activity log
    }
    int previous = 0;
    for (const HolidayFileContents::BadLine& bad : read.badLines) {
        FUZZ_CHECK(bad.number > previous && bad.number <= lines);
        FUZZ_CHECK(!bad.text.isEmpty());
        previous = bad.number;
    }
    FUZZ_CHECK(static_cast<qsizetype>(read.closures.size() + read.badLines.size()) <= lines);

    // The closures written back one a line read the same.
    QString written;
    for (const ExchangeCalendar::Day& closure : read.closures)
        written += closure.date.toString(Qt::ISODate) + u' ' + closure.name + u'\n';
    const HolidayFileContents again = parseHolidayFile(written);
    FUZZ_CHECK(again.badLines.empty());
    FUZZ_CHECK(again.closures == read.closures);
    return 0;
}
