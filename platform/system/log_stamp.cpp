#include "platform/system/log_file.h"

namespace {

constexpr long long kMillisPerDay = 86400000LL;
// "YYYY-MM-DDTHH:MM:SS.mmmZ pid " and " tid ", two numbers of up to 20 digits
// and the blank.
constexpr size_t kMaxStampChars = 96;

// Writes value with at least width digits, ending before end; returns where
// it begins.
char* DigitsBefore(char* end, unsigned long long value, int width) {
    do {
        *--end = static_cast<char>('0' + value % 10);
        value /= 10;
        --width;
    } while (value != 0 || width > 0);
    return end;
}

char* Put(char* at, unsigned long long value, int width) {
    char digits[24];
    char* const end = digits + sizeof digits;
    for (const char* from = DigitsBefore(end, value, width); from != end; ++from) *at++ = *from;
    return at;
}

char* Put(char* at, const char* text) {
    while (*text) *at++ = *text++;
    return at;
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

// A thread's lines within one second share all of the stamp but its
// milliseconds: the rest is written once a second.
struct SecondStamp {
    long long second = -1;
    unsigned long processId = 0;
    unsigned long threadId = 0;
    char text[kMaxStampChars];
    size_t millisAt = 0;  // where the milliseconds go
    size_t length = 0;
};
thread_local SecondStamp t_stamp;

void FormatSecond(SecondStamp& stamp, long long unixMillis, unsigned long processId, unsigned long threadId) {
    const long long ofDay = unixMillis % kMillisPerDay;
    long long year = 0;
    unsigned month = 0, day = 0;
    CivilDate(unixMillis / kMillisPerDay, year, month, day);
    char* const begin = stamp.text;
    char* at = Put(begin, static_cast<unsigned long long>(year), 4);
    *at++ = '-';
    at = Put(at, month, 2);
    *at++ = '-';
    at = Put(at, day, 2);
    *at++ = 'T';
    at = Put(at, static_cast<unsigned long long>(ofDay / 3600000), 2);
    *at++ = ':';
    at = Put(at, static_cast<unsigned long long>(ofDay / 60000 % 60), 2);
    *at++ = ':';
    at = Put(at, static_cast<unsigned long long>(ofDay / 1000 % 60), 2);
    *at++ = '.';
    stamp.millisAt = static_cast<size_t>(at - begin);
    at = Put(at, 0, 3);
    at = Put(at, "Z pid ");
    at = Put(at, processId, 1);
    at = Put(at, " tid ");
    at = Put(at, threadId, 1);
    *at++ = ' ';
    stamp.length = static_cast<size_t>(at - begin);
    stamp.second = unixMillis / 1000;
    stamp.processId = processId;
    stamp.threadId = threadId;
}

}  // namespace

void AppendFormattedLogLineStamp(std::string& line, long long unixMillis, unsigned long processId,
                                 unsigned long threadId) {
    if (unixMillis < 0) unixMillis = 0;
    SecondStamp& stamp = t_stamp;
    if (stamp.second != unixMillis / 1000 || stamp.processId != processId || stamp.threadId != threadId)
        FormatSecond(stamp, unixMillis, processId, threadId);
    const unsigned millis = static_cast<unsigned>(unixMillis % 1000);
    char* const digits = stamp.text + stamp.millisAt;
    digits[0] = static_cast<char>('0' + millis / 100);
    digits[1] = static_cast<char>('0' + millis / 10 % 10);
    digits[2] = static_cast<char>('0' + millis % 10);
    line.append(stamp.text, stamp.length);
}
