#include "platform/Clock.h"

namespace qm::platform {

long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

namespace {

// 30 December 1899 is 25,569 days before 1 January 1970.
constexpr long long kDateValueOfUnixEpoch = 25569;

}  // namespace

double DateValueOf(const LocalTime& time) {
    const long long days = DaysFromCivil(time.year, static_cast<unsigned>(time.month),
                                         static_cast<unsigned>(time.day)) +
                           kDateValueOfUnixEpoch;
    const int seconds = time.hour * 3600 + time.minute * 60 + time.second;
    return static_cast<double>(days) + seconds / 86400.0;
}

}  // namespace qm::platform
