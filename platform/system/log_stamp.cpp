#include "platform/system/log_file.h"

namespace {

constexpr long long kMillisPerDay = 86400000LL;

void Digits(std::string& out, unsigned long long value, int width) {
    char digits[24];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0 || count < width);
    while (count > 0) out += digits[--count];
}

// The civil date of a day count since 1970-01-01 (proleptic Gregorian),
// by eras of 400 years.
void CivilDate(long long days, long long& year, unsigned& month, unsigned& day) {
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned monthFromMarch = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * monthFromMarch + 2) / 5 + 1;
    month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;
    year = static_cast<long long>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0);
}

}  // namespace

std::string FormatLogLineStamp(long long unixMillis, unsigned long processId, unsigned long threadId) {
    if (unixMillis < 0) unixMillis = 0;
    const long long days = unixMillis / kMillisPerDay;
    const long long ofDay = unixMillis % kMillisPerDay;
    long long year = 0;
    unsigned month = 0, day = 0;
    CivilDate(days, year, month, day);
    std::string out;
    out.reserve(64);
    Digits(out, static_cast<unsigned long long>(year), 4);
    out += '-';
    Digits(out, month, 2);
    out += '-';
    Digits(out, day, 2);
    out += 'T';
    Digits(out, static_cast<unsigned long long>(ofDay / 3600000), 2);
    out += ':';
    Digits(out, static_cast<unsigned long long>(ofDay / 60000 % 60), 2);
    out += ':';
    Digits(out, static_cast<unsigned long long>(ofDay / 1000 % 60), 2);
    out += '.';
    Digits(out, static_cast<unsigned long long>(ofDay % 1000), 3);
    out += "Z pid ";
    Digits(out, processId, 1);
    out += " tid ";
    Digits(out, threadId, 1);
    out += ' ';
    return out;
}
