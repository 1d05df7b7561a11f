#pragma once
// Diagnostics of the resource manager, through the output redirector: errors go out with
// category 1 and level 3 (always on stderr), details of an error already reported with level 4
// (the developer sink: on stderr under VORTHANE_DEBUG=1), the profile lines with category 19
// and level 1.
#include <cstdarg>
#include <string>

void Rez_Report_Error(const char* file, int line, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
void Rez_Report_ErrorV(const char* file, int line, const char* format, va_list args);
void Rez_Report_Detail(const char* file, int line, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
void Rez_Report_DetailV(const char* file, int line, const char* format, va_list args);
void Rez_Report_Profile_Line(const char* format, ...) __attribute__((format(printf, 1, 2)));

#define REZ_ERROR(...) Rez_Report_Error(__FILE__, __LINE__, __VA_ARGS__)
#define REZ_DETAIL(...) Rez_Report_Detail(__FILE__, __LINE__, __VA_ARGS__)

// A resource's Load that refuses its bytes may say why ("texture data of unknown version 19");
// the report of the refusal then carries the words. The words are kept for the calling thread
// until taken.
void Rez_Note_Refusal(const std::string& reason);
// The words noted since the last call (empty when none), cleared.
std::string Rez_Take_Refusal();
