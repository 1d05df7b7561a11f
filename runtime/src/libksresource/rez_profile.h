#pragma once
// Number forms of the resource profile report.
#include <cstdint>
#include <string>

// "1234567" gives "1,234,567".
std::string Rez_Grouped_Number(int64_t value);
// A byte size: "%10s (%7.2fM)" above 1 MB, "%10s (%7.2fK)" above 1 KB, else "%10s bytes     ".
std::string Rez_Size_Text(int64_t bytes);
// A count: as a size, with "%10s " as the plain form.
std::string Rez_Count_Text(int64_t count);
