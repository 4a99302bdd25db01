// The namespace corekit of the utility library: number and text conversions,
// string editing, colour packing, file helpers and UTF-8/UTF-16 conversion.
// All functions are stateless, reentrant and independent of the process locale
// (numbers always use the "C" conventions).
#pragma once

#include <string>

#include "Error.h"
#include "corekitc.h"

namespace corekit {

// Number to text. With precision 0 like printf's %.6g; with a positive precision
// fixed notation with that many decimals; a negative precision means six decimals.
std::string ToString(double value, int precision);
std::string ToString(int value);
std::string ToString(long value);
std::string ToString(long long value);
std::string ToString(unsigned long value);
// "0x" and lowercase hex digits; a null pointer gives "0".
std::string ToString(void* pointer);
// Lowercase hex without prefix, left-padded with zeros to width (never cut);
// negative values as their 32-bit two's complement.
std::string IntToHex(int value, int width);

// Text to number. ToDouble reads one decimal number from the start of the text
// as formatted stream extraction in the "C" locale does: leading white space
// skipped, trailing text ignored, an incomplete number gives 0, values beyond
// the double range give the largest finite double with the text's sign.
// A null text throws std::logic_error.
double ToDouble(const std::string& text);
double ToDouble(const char* text);
// strtol with base 10 (64-bit, clamped); the text must not be null.
long ToLong(const char* text);
long ToLong(const std::string& text);
// ToLong narrowed to the low 32 bits.
int ToInt(const char* text);
int ToInt(const std::string& text);
// strtol with base 0 (0x hex, leading 0 octal), as a pointer-sized value.
void* ToVoidPtr(const char* text);
void* ToVoidPtr(const std::string& text);

// Strings.
// The part of text between the first and the last character not in chars.
std::string Trim(const std::string& text, const std::string& chars);
// Replaces every occurrence of from, left to right; inserted text is not searched again.
std::string ReplaceString(std::string text, const std::string& from, const std::string& to);
void ToLower(std::string& text);
void ToUpper(std::string& text);
// A new zero-terminated copy of length bytes; the caller releases it with delete[].
char* CreateStringFromBuffer(void* buffer, long length);

// Colours packed as 0x00RRGGBB.
int RGBToInt32(signed char r, signed char g, signed char b);
bool Int32ToRGB(int value, signed char* r, signed char* g, signed char* b);
// "#rrggbb" or "rrggbb", hex digits in either case.
bool IsValidHexRGB(const std::string& text);
bool HexToRGB(const std::string& text, signed char* r, signed char* g, signed char* b);
// Status of ckHexAToInt32 for the text (1 success, 2 too long, 4 bad digit).
int HexStringToInt32(const std::string& text, int* out);

// Files and sizes.
std::string GetPathDelimiter();
bool FileExists(const std::string& path);
bool DirExists(const std::string& path);
// Creates or truncates the file and writes content up to its first zero byte;
// true when the file could be opened.
bool WriteDefaultsFile(const char* path, std::string content);
void WriteBuf(const char* buffer, int length, const char* path, bool append);
// bytes / 1024^unit for unit <= 100, bytes / 1000^(unit-100) above.
double ByteConv(long long bytes, int unit);

// Unicode. Both append to out; invalid input throws utfcpp's exception naming the fault.
void Utf8ToUtf16(const std::string& in, std::wstring& out);
void Utf16ToUtf8(const std::wstring& in, std::string& out);

}  // namespace corekit
