#include "search_input.h"

#include <cctype>
#include <cmath>
#include <ctime>

namespace {

std::string Trimmed(const std::string& text) {
    size_t first = 0, last = text.size();
    while (first < last && std::isspace(static_cast<unsigned char>(text[first])))
        ++first;
    while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1])))
        --last;
    return text.substr(first, last - first);
}

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The power of 1024 a unit names: "" and "b" 0, "k"/"kb"/"kib" 1, ... "t"/"tb"/"tib" 4.
int UnitPower(const std::string& unit) {
    static const char kUnits[] = "bkmgt";
    if (unit.empty())
        return 0;
    const size_t at = std::string(kUnits).find(unit[0]);
    if (at == std::string::npos)
        return -1;
    const std::string rest = unit.substr(1);
    if (rest.empty() || (at > 0 && (rest == "b" || rest == "ib")))
        return static_cast<int>(at);
    return -1;
}

} // namespace

bool ReadSizeText(const std::string& typed, int64_t& bytes) {
    const std::string text = Lower(Trimmed(typed));
    size_t i = 0;
    while (i < text.size() && (std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == '.'))
        ++i;
    const std::string number = text.substr(0, i);
    if (number.empty() || number == "." || number.find('.') != number.rfind('.'))
        return false;
    const int nPower = UnitPower(Trimmed(text.substr(i)));
    if (nPower < 0)
        return false;
    const double value = std::stod(number) * std::pow(1024.0, nPower);
    if (!(value < 9.0e18))
        return false;
    bytes = static_cast<int64_t>(std::llround(value));
    return true;
}

bool ReadDayText(const std::string& typed, int64_t& t) {
    const std::string text = Trimmed(typed);
    if (text.size() != 10)
        return false;
    for (size_t i = 0; i < text.size(); ++i)
        if ((i == 4 || i == 7) ? text[i] != '-'
                               : !std::isdigit(static_cast<unsigned char>(text[i])))
            return false;
    const int year = std::stoi(text.substr(0, 4));
    const int month = std::stoi(text.substr(5, 2));
    const int day = std::stoi(text.substr(8, 2));
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_isdst = -1;
    const std::time_t local = std::mktime(&tm);
    // mktime carries 31 February into March: such a day is not one.
    if (local == static_cast<std::time_t>(-1) || tm.tm_year != year - 1900 ||
        tm.tm_mon != month - 1 || tm.tm_mday != day)
        return false;
    t = static_cast<int64_t>(local);
    return true;
}

bool ReadSearchInput(const SearchInput& input, SearchCriteria& criteria, std::string& error) {
    SearchCriteria read;
    read.pattern = input.pattern;
    read.bRegex = input.bRegex;
    if (!Trimmed(input.minSize).empty() && !ReadSizeText(input.minSize, read.nMinBytes)) {
        error = "Not a size: \"" + input.minSize + "\" (try 1 GB, 500 MB, 100k or bytes).";
        return false;
    }
    if (!Trimmed(input.after).empty() && !ReadDayText(input.after, read.tAfter)) {
        error = "Not a day: \"" + input.after + "\" (try 2024-03-31).";
        return false;
    }
    if (!Trimmed(input.before).empty() && !ReadDayText(input.before, read.tBefore)) {
        error = "Not a day: \"" + input.before + "\" (try 2024-03-31).";
        return false;
    }
    criteria = read;
    return true;
}

bool AsksAnything(const SearchCriteria& criteria) {
    return !criteria.pattern.empty() || criteria.nMinBytes > 0 ||
           criteria.tAfter != SearchCriteria::kNoTime ||
           criteria.tBefore != SearchCriteria::kNoTime;
}
