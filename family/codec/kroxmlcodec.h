#pragma once
// The XML codec library codec.so: escapes text for XML content and attribute values and turns
// escaped text back. The transport may use it; the program only checks that it is present.
//
// Contract of every export:
// - Input is 8-bit text of the given length (it may hold zero bytes; no terminator is needed).
// - On success the result is a new buffer owned by the caller, null-terminated (the terminator
//   is not counted in *outLength), to be released with KroCodecFree; the return value is 0.
// - On failure nothing is allocated, *out is set to null and *outLength to 0 (where given), and
//   the return value says why. No exception leaves the library.

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

enum KroCodecStatus {
    KRO_CODEC_OK = 0,
    KRO_CODEC_INVALID_ARGUMENT = 1,  // a null pointer where one is needed
    KRO_CODEC_MALFORMED = 2,         // Decode: an "&" that starts no known reference
    KRO_CODEC_NO_MEMORY = 3,
    KRO_CODEC_TOO_LARGE = 4,  // more than 256 MiB of input
};

// Escapes "&", "<", ">", '"' and "'" as "&amp;", "&lt;", "&gt;", "&quot;" and "&apos;", and
// control characters other than tab, line feed and carriage return as "&#N;". Every other byte
// is copied unchanged.
int KroXMLEncode(const char* text, size_t length, char** out, size_t* outLength);

// Reverses KroXMLEncode: the five named references and decimal ("&#N;") or hexadecimal
// ("&#xN;") character references (written as UTF-8; "&#0;" is a zero byte) become their
// characters. A reference that is unknown, unterminated, a surrogate or beyond U+10FFFF is
// KRO_CODEC_MALFORMED.
int KroXMLDecode(const char* text, size_t length, char** out, size_t* outLength);

// Releases a buffer from KroXMLEncode or KroXMLDecode. Null is ignored.
void KroCodecFree(char* buffer);

#ifdef __cplusplus
}
#endif
