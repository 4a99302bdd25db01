// The prefixed free functions of the utility library: the process-wide debug
// log with its statement macros, hex parsing, and the translation catalogs.
// The debug log's two variables are plain globals, read on every statement and
// written only by the setters; the catalogs guard their state with one mutex.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// ---------------------------------------------------------------------------
// Debug log

// Levels: single bits of the filter, also the first argument of _ckDebug.
#define CK_DEBUG_ERROR 1
#define CK_DEBUG_WARN 2
#define CK_DEBUG_INFO 4
#define CK_DEBUG_TRACE 8
// Pieces of a line without a level (location part, line end).
#define CK_DEBUG_PLAIN (-1)

// Bit mask of the levels that are written; initially 143 (levels 1, 2, 4, 8 and bit 128).
extern int32_t corekit_debug_filter;
// Stream that receives the log; null until chosen, then the first write picks stdout.
extern FILE* corekit_debug_out;

// Writes the level prefix ("error: ", "warn: ", "info: "; none for other values),
// then the printf-formatted text, then flushes. Adds no line end and ignores the filter.
// Returns the result of the flush.
int _ckDebug(int type, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
// Writes the local time "YYYY.MM.DD hh:mm:ss.mmm" without a trailing blank; no flush.
int _ckDebugTS();
// Writes the timestamp of _ckDebugTS for the given time (seconds since the
// epoch, shown as local time, and microseconds) to the stream.
int ckDebugWriteTimestamp(FILE* stream, long long seconds, long microseconds);
int ckSetDebugFilter(int filter);
int ckSetDebugOut(FILE* stream);

// Source path written in the location part of a log line.
#ifndef CK_DEBUG_FILE
#define CK_DEBUG_FILE __FILE__
#endif

// One log statement: filter test first, so a filtered statement evaluates none
// of its arguments; then timestamp, location, prefixed message and line end,
// each piece one stdio call.
#define CK_DEBUG_STATEMENT(level, function, ...)                              \
    do {                                                                      \
        if (corekit_debug_filter & (level)) {                                 \
            _ckDebugTS();                                                     \
            _ckDebug(CK_DEBUG_PLAIN, " %s:%d: %s ", CK_DEBUG_FILE, __LINE__,  \
                     function);                                               \
            _ckDebug((level), __VA_ARGS__);                                   \
            _ckDebug(CK_DEBUG_PLAIN, "\n");                                   \
        }                                                                     \
    } while (0)

// Per-level statements; the arguments are a printf format and its values.
// Error, warn and info lines name the bare function, trace lines the full signature.
#define CK_ERROR(...) CK_DEBUG_STATEMENT(CK_DEBUG_ERROR, __func__, __VA_ARGS__)
#define CK_WARN(...) CK_DEBUG_STATEMENT(CK_DEBUG_WARN, __func__, __VA_ARGS__)
#define CK_INFO(...) CK_DEBUG_STATEMENT(CK_DEBUG_INFO, __func__, __VA_ARGS__)
// Entry mark of constructors and destructors: empty message.
#define CK_TRACE() CK_DEBUG_STATEMENT(CK_DEBUG_TRACE, __PRETTY_FUNCTION__, "%s", "")

// ---------------------------------------------------------------------------
// Hex parsing

// Parses up to eight hex digits (optional 0x/0X prefix when the text is longer
// than two characters). Returns 1 on success (empty text: 1, out untouched),
// 2 for more than eight digits (out untouched), 4 when a non-hex character is
// met (out then holds the digits to its right).
int ckHexAToInt32(const char* text, int* out);

// ---------------------------------------------------------------------------
// Translation catalogs (GNU gettext ".mo", revision 0)

// Parses a ".mo" image and registers it under (domain, normalized language),
// after the catalogs already there. False, with nothing registered, when refused.
bool ckTrAddMoData(const std::string& domain, const std::string& language, const void* data, size_t size);
// Reads the whole file and calls ckTrAddMoData; false when it cannot be read.
bool ckTrAddMoFile(const std::string& domain, const std::string& language, const std::string& path);
// Loads dir/<lang>/LC_MESSAGES/<domain>.mo for the base language and then the
// full language of ckTrGetLanguage(); true when at least one file was added.
bool ckTrLoadDir(const std::string& domain, const std::string& dir);
void ckTrSetLanguage(const std::string& language);
// The current language; determined from the environment on first use.
std::string ckTrGetLanguage();
// The language the environment asks for (LC_ALL, LC_MESSAGES, LANG, LANGUAGE).
std::string ckTrSystemLanguage();
void ckTrSetDefaultDomain(const std::string& domain);
// Forgets the language, the default domain and every registration. Catalogs
// stay allocated, so pointers returned earlier remain valid.
void ckTrReset();
// Translation of msgid in domain for the current language, or msgid itself.
// The returned pointer stays valid for the life of the process.
const char* ckTrD(const char* domain, const char* msgid);
const char* ckTr(const char* msgid);
// Normalizes a language name: de_DE.UTF-8 -> de_DE, en-us -> en_US, C -> "".
std::string ckTrNormalizeLanguage(const std::string& language);
