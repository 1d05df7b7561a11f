#pragma once
// Diagnostics of the resource manager, through the output redirector: errors go out with
// category 1 and level 3, the profile lines with category 19 and level 1.
#include <cstdarg>

void Rez_Report_Error(const char* file, int line, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
void Rez_Report_Profile_Line(const char* format, ...) __attribute__((format(printf, 1, 2)));

#define REZ_ERROR(...) Rez_Report_Error(__FILE__, __LINE__, __VA_ARGS__)
