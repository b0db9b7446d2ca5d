#pragma once
// The criteria of a search as a person types them, read into SearchCriteria: a name
// pattern, a minimum size ("1 GB", "500 MB", "100k", "2.5g", or plain bytes; units count
// in 1024s, as the program shows sizes) and dates ("2024-03-31": after means from the
// start of that day, before means before it, in local time). Empty boxes bound nothing.

#include <cstdint>
#include <string>

#include "file_search.h"

struct SearchInput {
    std::string pattern;
    bool bRegex = false;
    std::string minSize;
    std::string after;
    std::string before;
};

// False, with why in `error`, when a box holds what is not a size or date. `criteria` is
// then unchanged.
bool ReadSearchInput(const SearchInput& input, SearchCriteria& criteria, std::string& error);

// Whether the criteria ask anything: with no pattern and no bound, a search would find
// every file, which is no answer.
bool AsksAnything(const SearchCriteria& criteria);

// A size as typed, in bytes; false for what is not one.
bool ReadSizeText(const std::string& text, int64_t& bytes);
// The local midnight that begins the day typed as YYYY-MM-DD; false for what is not a day.
bool ReadDayText(const std::string& text, int64_t& t);
