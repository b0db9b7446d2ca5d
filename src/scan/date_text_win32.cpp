// Short date from the system: GetDateFormatA with the user's default locale.
#include "date_text.h"

#include <ctime>
#include <windows.h>

std::string FormatDateTime(int64_t t) {
    const __time64_t when = static_cast<__time64_t>(t);
    struct tm local;
    if (_localtime64_s(&local, &when) != 0)
        return std::string();
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(local.tm_year + 1900);
    st.wMonth = static_cast<WORD>(local.tm_mon + 1);
    st.wDay = static_cast<WORD>(local.tm_mday);
    st.wHour = static_cast<WORD>(local.tm_hour);
    st.wMinute = static_cast<WORD>(local.tm_min);
    char date[255];
    if (GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, sizeof date) == 0)
        return std::string();
    return AppendClockTime(date, local.tm_hour, local.tm_min);
}
