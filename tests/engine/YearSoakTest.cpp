#include "YearSoak.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// Twenty trading days of the soak (scripts/measure-year-soak.sh runs a whole year): the computer in
// Sydney, three hours a morning (3:00 to 6:00) watching the previous New York session, through New
// York's change of clocks, Thanksgiving and the early close after it, with every kind of fault.
TEST(YearSoak, TwentyTradingDaysWithFaultsMissAndDoubleNothing)
{
    SoakPlan plan;
    plan.firstSession = QDate(2026, 10, 30);
    plan.tradingDays = 20;
    plan.zone = QTimeZone("Australia/Sydney");
    plan.startHour = 3;
    plan.stopHour = 6;
    const SoakResult result = runSoak(plan);
    std::fputs(result.table().toLocal8Bit().constData(), stdout);
    EXPECT_TRUE(result.ok()) << result.table().toStdString();
}

} // namespace
