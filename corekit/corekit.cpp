#include "corekit.h"

#include <locale.h>

#include <boost/filesystem.hpp>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>
#include <stdexcept>
#include <vector>

#include <utf8.h>

namespace corekit {

namespace {

// A "C" locale object for strtod_l: number texts never follow the process locale.
locale_t classicLocale()
{
    static locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return loc;
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isHexDigit(char c)
{
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::string formatDouble(double value, std::chars_format format, int precision)
{
    // Fixed notation of the largest double needs 309 digits before the point.
    std::string buffer(size_t(330) + size_t(precision), '\0');
    auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, format, precision);
    if (result.ec != std::errc())
        return std::string();
    buffer.resize(static_cast<size_t>(result.ptr - buffer.data()));
    return buffer;
}

}  // namespace

std::string ToString(double value, int precision)
{
    if (precision == 0)
        return formatDouble(value, std::chars_format::general, 6);
    return formatDouble(value, std::chars_format::fixed, precision > 0 ? precision : 6);
}

std::string ToString(int value)
{
    return std::to_string(value);
}

std::string ToString(long value)
{
    return std::to_string(value);
}

std::string ToString(long long value)
{
    return std::to_string(value);
}

std::string ToString(unsigned long value)
{
    return std::to_string(value);
}

std::string ToString(void* pointer)
{
    if (!pointer)
        return "0";
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, reinterpret_cast<uintptr_t>(pointer), 16);
    return "0x" + std::string(buffer, result.ptr);
}

std::string IntToHex(int value, int width)
{
    char buffer[16];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<uint32_t>(value), 16);
    std::string text(buffer, result.ptr);
    if (width > 0 && text.size() < static_cast<size_t>(width))
        text.insert(0, static_cast<size_t>(width) - text.size(), '0');
    return text;
}

double ToDouble(const std::string& text)
{
    const char* p = text.c_str();
    const char* end = p + text.size();
    while (p < end && isSpace(*p))
        ++p;

    // Collect the longest prefix that fits: sign, digits, point, digits,
    // exponent letter, sign, digits. Stream extraction stops at the same place.
    std::string number;
    if (p < end && (*p == '+' || *p == '-'))
        number += *p++;
    while (p < end && isDigit(*p))
        number += *p++;
    if (p < end && *p == '.') {
        number += *p++;
        while (p < end && isDigit(*p))
            number += *p++;
    }
    if (p < end && (*p == 'e' || *p == 'E')) {
        number += *p++;
        if (p < end && (*p == '+' || *p == '-'))
            number += *p++;
        while (p < end && isDigit(*p))
            number += *p++;
    }
    if (number.empty())
        return 0.0;

    // What was read must be one complete number, or the result is 0
    // (a lone sign or point, or "1e" without exponent digits).
    char* stop = nullptr;
    double value = strtod_l(number.c_str(), &stop, classicLocale());
    if (stop != number.c_str() + number.size())
        return 0.0;
    if (std::isinf(value))
        return value > 0 ? std::numeric_limits<double>::max() : -std::numeric_limits<double>::max();
    return value;
}

double ToDouble(const char* text)
{
    if (!text)
        throw std::logic_error("basic_string: construction from null is not valid");
    return ToDouble(std::string(text));
}

long ToLong(const char* text)
{
    return strtol(text, nullptr, 10);
}

long ToLong(const std::string& text)
{
    return ToLong(text.c_str());
}

int ToInt(const char* text)
{
    // Keep the low 32 bits, no clamping to the int range.
    return static_cast<int>(static_cast<uint32_t>(static_cast<unsigned long>(ToLong(text))));
}

int ToInt(const std::string& text)
{
    return ToInt(text.c_str());
}

void* ToVoidPtr(const char* text)
{
    return reinterpret_cast<void*>(static_cast<intptr_t>(strtol(text, nullptr, 0)));
}

void* ToVoidPtr(const std::string& text)
{
    return ToVoidPtr(text.c_str());
}

std::string Trim(const std::string& text, const std::string& chars)
{
    size_t first = text.find_first_not_of(chars);
    if (first == std::string::npos)
        return std::string();
    size_t last = text.find_last_not_of(chars);
    return text.substr(first, last - first + 1);
}

std::string ReplaceString(std::string text, const std::string& from, const std::string& to)
{
    if (from.empty())
        return text;
    size_t pos = 0;
    while ((pos = text.find(from, pos)) != std::string::npos) {
        text.replace(pos, from.size(), to);
        pos += to.size();
    }
    return text;
}

void ToLower(std::string& text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
}

void ToUpper(std::string& text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
}

char* CreateStringFromBuffer(void* buffer, long length)
{
    if (length < 0)
        length = 0;
    char* text = new char[static_cast<size_t>(length) + 1];
    if (length > 0)
        memcpy(text, buffer, static_cast<size_t>(length));
    text[length] = '\0';
    return text;
}

int RGBToInt32(signed char r, signed char g, signed char b)
{
    return (int(static_cast<unsigned char>(r)) << 16) | (int(static_cast<unsigned char>(g)) << 8) |
           int(static_cast<unsigned char>(b));
}

bool Int32ToRGB(int value, signed char* r, signed char* g, signed char* b)
{
    *r = static_cast<signed char>((value >> 16) & 0xff);
    *g = static_cast<signed char>((value >> 8) & 0xff);
    *b = static_cast<signed char>(value & 0xff);
    return true;
}

bool IsValidHexRGB(const std::string& text)
{
    size_t start = (!text.empty() && text[0] == '#') ? 1 : 0;
    if (text.size() - start != 6)
        return false;
    for (size_t i = start; i < text.size(); ++i)
        if (!isHexDigit(text[i]))
            return false;
    return true;
}

bool HexToRGB(const std::string& text, signed char* r, signed char* g, signed char* b)
{
    if (!IsValidHexRGB(text))
        return false;
    std::string digits = text[0] == '#' ? text.substr(1) : text;
    int red = 0, green = 0, blue = 0;
    HexStringToInt32(digits.substr(0, 2), &red);
    HexStringToInt32(digits.substr(2, 2), &green);
    HexStringToInt32(digits.substr(4, 2), &blue);
    *r = static_cast<signed char>(red);
    *g = static_cast<signed char>(green);
    *b = static_cast<signed char>(blue);
    return true;
}

int HexStringToInt32(const std::string& text, int* out)
{
    return ckHexAToInt32(text.c_str(), out);
}

std::string GetPathDelimiter()
{
    return "/";
}

bool FileExists(const std::string& path)
{
    boost::system::error_code ec;
    return boost::filesystem::exists(boost::filesystem::status(path, ec));
}

bool DirExists(const std::string& path)
{
    boost::system::error_code ec;
    return boost::filesystem::is_directory(boost::filesystem::status(path, ec));
}

bool WriteDefaultsFile(const char* path, std::string content)
{
    FILE* f = fopen(path, "w");
    if (!f)
        return false;
    fputs(content.c_str(), f);
    fclose(f);
    return true;
}

void WriteBuf(const char* buffer, int length, const char* path, bool append)
{
    if (!buffer || !path)
        return;
    FILE* f = fopen(path, append ? "ab" : "wb");
    if (!f)
        return;
    if (length > 0)
        fwrite(buffer, 1, static_cast<size_t>(length), f);
    fclose(f);
}

double ByteConv(long long bytes, int unit)
{
    if (unit <= 100)
        return static_cast<double>(bytes) / std::pow(1024.0, unit);
    return static_cast<double>(bytes) / std::pow(1000.0, unit - 100);
}

void Utf8ToUtf16(const std::string& in, std::wstring& out)
{
    utf8::utf8to16(in.begin(), in.end(), std::back_inserter(out));
}

void Utf16ToUtf8(const std::wstring& in, std::string& out)
{
    std::vector<uint16_t> units;
    units.reserve(in.size());
    for (wchar_t c : in)
        units.push_back(static_cast<uint16_t>(static_cast<uint32_t>(c) & 0xffff));
    // Appends as it goes, so what was converted before a fault stays in out.
    utf8::utf16to8(units.begin(), units.end(), std::back_inserter(out));
}

}  // namespace corekit
