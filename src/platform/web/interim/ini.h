#pragma once
// The part of inih's interface the settings reader uses (see README.md beside this file).

typedef int (*ini_handler)(void* user, const char* section, const char* name, const char* value);
typedef char* (*ini_reader)(char* str, int num, void* stream);

// Calls handler for every name = value line; returns 0, or the first line that failed.
int ini_parse_stream(ini_reader reader, void* stream, ini_handler handler, void* user);
