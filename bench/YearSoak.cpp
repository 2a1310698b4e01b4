// The soak through a whole trading year (tests/common/YearSoak.h has what it does and checks):
// prints the table of its checks and ends with status 1 when one of them failed.
//
// Usage: year-soak [--year YYYY] [--from YYYY-MM-DD --days N] [--zone ZONE] [--hours START-STOP]
//                  [--seed N]        (scripts/measure-year-soak.sh runs it)
#include "YearSoak.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    SoakPlan plan;
    plan.firstSession = QDate(2026, 1, 1);
    plan.tradingDays = 0; // the whole year
    plan.zone = QTimeZone("Australia/Sydney");
    const QStringList args = QCoreApplication::arguments().mid(1);
    for (qsizetype i = 0; i + 1 < args.size(); i += 2) {
        const QString& name = args[i];
        const QString& value = args[i + 1];
        if (name == u"--year"_qs) {
            plan.firstSession = QDate(value.toInt(), 1, 1);
            plan.tradingDays = 0;
        } else if (name == u"--from"_qs) {
            plan.firstSession = QDate::fromString(value, Qt::ISODate);
        } else if (name == u"--days"_qs) {
            plan.tradingDays = value.toInt();
        } else if (name == u"--zone"_qs) {
            plan.zone = QTimeZone(value.toLatin1());
        } else if (name == u"--hours"_qs) {
            plan.startHour = value.section(u'-', 0, 0).toInt();
            plan.stopHour = value.section(u'-', 1, 1).toInt();
        } else if (name == u"--seed"_qs) {
            plan.seed = value.toUInt();
        } else {
            std::fprintf(stderr, "year-soak: unknown option %s\n", qPrintable(name));
            return 64;
        }
    }
    if (args.size() % 2 != 0 || !plan.firstSession.isValid() || !plan.zone.isValid()
        || plan.startHour >= plan.stopHour) {
        std::fprintf(stderr,
            "usage: year-soak [--year YYYY] [--from YYYY-MM-DD --days N] [--zone ZONE] [--hours START-STOP] "
            "[--seed N]\n");
        return 64;
    }
    QElapsedTimer took;
    took.start();
    const SoakResult result = runSoak(plan);
    std::fputs(result.table().toLocal8Bit().constData(), stdout);
    std::printf("(%.0f s)\n", static_cast<double>(took.elapsed()) / 1000.0);
    return result.ok() ? 0 : 1;
}
