#pragma once

// The resource library Velnorr.so: a run-time loaded library beside the program that answers
// string lookups by text id, so that texts can be replaced without rebuilding the program.

extern "C" {

// Copies the string of text id `id` into `buffer`, which holds `size` UTF-16 units, cut to
// size - 1 units and always zero-terminated. Returns the number of units copied without the
// terminator; 0 when the library has no string of that id or the string is empty (the buffer
// then holds an empty string), and 0 without touching the buffer when `buffer` is null or
// `size` is less than 1. The caller owns the buffer; the library keeps nothing. Never throws.
int VelnorrLoadString(unsigned id, char16_t* buffer, int size);

// The type of VelnorrLoadString, for binding it by name.
typedef int (*VelnorrLoadStringFunction)(unsigned id, char16_t* buffer, int size);
}

// The exported name of the lookup.
inline constexpr char kVelnorrLoadStringName[] = "VelnorrLoadString";
