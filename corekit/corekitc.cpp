#include "corekitc.h"

#include <sys/time.h>

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

// ---------------------------------------------------------------------------
// Debug log

int32_t corekit_debug_filter = 143;
FILE* corekit_debug_out = nullptr;

int _ckDebug(int type, const char* fmt, ...)
{
    if (!corekit_debug_out)
        corekit_debug_out = stdout;
    switch (type) {
    case CK_DEBUG_WARN:
        fputs("warn: ", corekit_debug_out);
        break;
    case CK_DEBUG_INFO:
        fputs("info: ", corekit_debug_out);
        break;
    case CK_DEBUG_ERROR:
        fputs("error: ", corekit_debug_out);
        break;
    default:
        break;
    }
    va_list args;
    va_start(args, fmt);
    vfprintf(corekit_debug_out, fmt, args);
    va_end(args);
    return fflush(corekit_debug_out);
}

int ckDebugWriteTimestamp(FILE* stream, long long seconds, long microseconds)
{
    time_t when = static_cast<time_t>(seconds);
    struct tm local;
    if (!localtime_r(&when, &local))
        memset(&local, 0, sizeof local);
    fprintf(stream, "%d.%02d.%02d %02d:%02d:%02d.", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour, local.tm_min, local.tm_sec);
    return fprintf(stream, "%03ld", microseconds / 1000);
}

int _ckDebugTS()
{
    if (!corekit_debug_out)
        corekit_debug_out = stdout;
    struct timeval tv;
    gettimeofday(&tv, nullptr);
    return ckDebugWriteTimestamp(corekit_debug_out, tv.tv_sec, static_cast<long>(tv.tv_usec));
}

int ckSetDebugFilter(int filter)
{
    corekit_debug_filter = filter;
    return 1;
}

int ckSetDebugOut(FILE* stream)
{
    corekit_debug_out = stream;
    return 1;
}

// ---------------------------------------------------------------------------
// Hex parsing

static int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

int ckHexAToInt32(const char* text, int* out)
{
    if (!text)
        return 1;
    size_t len = strlen(text);
    if (len > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text += 2;
        len -= 2;
    }
    if (len == 0)
        return 1;
    if (len > 8)
        return 2;
    // Digits are added from the last to the first; unsigned arithmetic so that
    // eight digits wrap into the sign bit instead of overflowing.
    uint32_t value = 0;
    uint32_t weight = 1;
    *out = 0;
    for (size_t i = len; i-- > 0;) {
        int digit = hexDigitValue(text[i]);
        if (digit < 0)
            return 4;
        value += static_cast<uint32_t>(digit) * weight;
        *out = static_cast<int>(value);
        weight *= 16;
    }
    return 1;
}

// ---------------------------------------------------------------------------
// Translation catalogs

namespace {

struct Catalog {
    std::unordered_map<std::string, std::string> entries;
};

struct State {
    std::mutex mMutex;
    std::string mLanguage;
    bool mLanguageSet = false;
    std::string mDefaultDomain;
    std::deque<std::unique_ptr<Catalog>> mCatalogs;
    std::map<std::pair<std::string, std::string>, std::vector<const Catalog*>> mByDomainLanguage;
};

// Created on first use and never destroyed, so that translations handed out
// stay valid until the process ends (also during static destruction).
State& state()
{
    static State* s = new State;
    return *s;
}

std::string baseLanguage(const std::string& language)
{
    size_t pos = language.find('_');
    return pos == std::string::npos ? std::string() : language.substr(0, pos);
}

// Callers hold the mutex.
std::string currentLanguageLocked(State& s)
{
    if (!s.mLanguageSet) {
        s.mLanguage = ckTrSystemLanguage();
        s.mLanguageSet = true;
    }
    return s.mLanguage;
}

const char* lookupLocked(State& s, const std::string& domain, const std::string& language, const char* msgid)
{
    auto it = s.mByDomainLanguage.find({domain, language});
    if (it == s.mByDomainLanguage.end())
        return nullptr;
    for (auto cat = it->second.rbegin(); cat != it->second.rend(); ++cat) {
        auto entry = (*cat)->entries.find(msgid);
        if (entry != (*cat)->entries.end())
            return entry->second.c_str();
    }
    return nullptr;
}

// Reads the 32-bit words of a ".mo" image in its own byte order, with bounds checks.
class MoReader {
public:
    MoReader(const unsigned char* data, size_t size, bool bigEndian)
        : mData(data), mSize(size), mBigEndian(bigEndian) {}

    bool word(uint64_t offset, uint32_t& value) const
    {
        if (offset > mSize || mSize - offset < 4)
            return false;
        const unsigned char* p = mData + offset;
        if (mBigEndian)
            value = (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
        else
            value = (uint32_t(p[3]) << 24) | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | uint32_t(p[0]);
        return true;
    }

    // A string table entry: length and offset; the bytes must lie inside the image.
    bool string(uint64_t entry, std::string& text) const
    {
        uint32_t length = 0, offset = 0;
        if (!word(entry, length) || !word(entry + 4, offset))
            return false;
        if (offset > mSize || mSize - offset < length)
            return false;
        const char* begin = reinterpret_cast<const char*>(mData + offset);
        // Cut at the first zero byte: of a plural entry only the first form counts.
        const void* zero = memchr(begin, 0, length);
        size_t used = zero ? static_cast<size_t>(static_cast<const char*>(zero) - begin) : length;
        text.assign(begin, used);
        return true;
    }

private:
    const unsigned char* mData;
    size_t mSize;
    bool mBigEndian;
};

bool headerCharsetAccepted(const std::string& header)
{
    size_t pos = header.find("charset=");
    if (pos == std::string::npos)
        return true;
    pos += 8;
    size_t end = header.find_first_of(" \n;", pos);
    std::string charset = header.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    for (char& c : charset)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return charset == "utf-8" || charset == "utf8";
}

bool parseMo(const void* data, size_t size, Catalog& catalog)
{
    if (!data || size < 4)
        return false;
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    uint32_t magic = uint32_t(bytes[0]) | (uint32_t(bytes[1]) << 8) | (uint32_t(bytes[2]) << 16) |
                     (uint32_t(bytes[3]) << 24);
    bool bigEndian;
    if (magic == 0x950412DEu)
        bigEndian = false;
    else if (magic == 0xDE120495u)
        bigEndian = true;
    else
        return false;

    MoReader reader(bytes, size, bigEndian);
    uint32_t revision = 0, count = 0, idTable = 0, strTable = 0;
    if (!reader.word(4, revision) || !reader.word(8, count) || !reader.word(12, idTable) ||
        !reader.word(16, strTable))
        return false;
    if ((revision >> 16) != 0)
        return false;
    // 64-bit arithmetic: a huge count or offset must not wrap around.
    uint64_t tableBytes = uint64_t(count) * 8;
    if (uint64_t(idTable) + tableBytes > size || uint64_t(strTable) + tableBytes > size)
        return false;

    std::string msgid, msgstr;
    for (uint64_t i = 0; i < count; ++i) {
        if (!reader.string(idTable + 8 * i, msgid) || !reader.string(strTable + 8 * i, msgstr))
            return false;
        if (!msgid.empty()) {
            if (!msgstr.empty())
                catalog.entries[msgid] = msgstr;
        } else {
            // The header entry: only its character set matters.
            // It is checked on the full translation, not just up to a zero byte.
            uint32_t length = 0, offset = 0;
            reader.word(strTable + 8 * i, length);
            reader.word(strTable + 8 * i + 4, offset);
            std::string header(reinterpret_cast<const char*>(bytes + offset), length);
            if (!headerCharsetAccepted(header))
                return false;
        }
    }
    return true;
}

}  // namespace

std::string ckTrNormalizeLanguage(const std::string& language)
{
    std::string text = language.substr(0, language.find_first_of(".@"));
    if (text.empty() || text == "C" || text == "POSIX")
        return std::string();
    bool region = false;
    for (char& c : text) {
        if (c == '-')
            c = '_';
        if (c == '_') {
            region = true;
            continue;
        }
        if (!region && c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        else if (region && c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

std::string ckTrSystemLanguage()
{
    std::string fromLocale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = getenv(name);
        if (value && *value) {
            fromLocale = ckTrNormalizeLanguage(value);
            break;
        }
    }
    // A C/POSIX locale (or none) means no translation, whatever LANGUAGE says.
    if (fromLocale.empty())
        return fromLocale;
    const char* list = getenv("LANGUAGE");
    if (list && *list) {
        std::string first(list);
        first = ckTrNormalizeLanguage(first.substr(0, first.find(':')));
        if (!first.empty())
            return first;
    }
    return fromLocale;
}

bool ckTrAddMoData(const std::string& domain, const std::string& language, const void* data, size_t size)
{
    auto catalog = std::make_unique<Catalog>();
    if (!parseMo(data, size, *catalog))
        return false;
    std::string normalized = ckTrNormalizeLanguage(language);
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mMutex);
    s.mByDomainLanguage[{domain, normalized}].push_back(catalog.get());
    s.mCatalogs.push_back(std::move(catalog));
    return true;
}

bool ckTrAddMoFile(const std::string& domain, const std::string& language, const std::string& path)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return false;
    std::string bytes;
    char buffer[8192];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.append(buffer, n);
    // A read error (a directory, an I/O failure) counts as an unreadable file.
    bool failed = ferror(f) != 0;
    fclose(f);
    if (failed)
        return false;
    return ckTrAddMoData(domain, language, bytes.data(), bytes.size());
}

bool ckTrLoadDir(const std::string& domain, const std::string& dir)
{
    std::string language = ckTrGetLanguage();
    if (language.empty())
        return false;
    std::vector<std::string> candidates;
    std::string base = baseLanguage(language);
    if (language.find('_') != std::string::npos)
        candidates.push_back(base);
    candidates.push_back(language);
    bool added = false;
    for (const std::string& lang : candidates) {
        if (lang.empty())
            continue;
        std::string path = dir + "/" + lang + "/LC_MESSAGES/" + domain + ".mo";
        if (ckTrAddMoFile(domain, lang, path))
            added = true;
    }
    return added;
}

void ckTrSetLanguage(const std::string& language)
{
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mMutex);
    s.mLanguage = ckTrNormalizeLanguage(language);
    s.mLanguageSet = true;
}

std::string ckTrGetLanguage()
{
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mMutex);
    return currentLanguageLocked(s);
}

void ckTrSetDefaultDomain(const std::string& domain)
{
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mMutex);
    s.mDefaultDomain = domain;
}

void ckTrReset()
{
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mMutex);
    s.mLanguage.clear();
    s.mDefaultDomain.clear();
    s.mLanguageSet = false;
    s.mByDomainLanguage.clear();
}

const char* ckTrD(const char* domain, const char* msgid)
{
    if (!msgid || !*msgid || !domain)
        return msgid;
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mMutex);
    std::string language = currentLanguageLocked(s);
    if (language.empty())
        return msgid;
    if (const char* found = lookupLocked(s, domain, language, msgid))
        return found;
    if (language.find('_') != std::string::npos) {
        std::string base = baseLanguage(language);
        if (!base.empty())
            if (const char* found = lookupLocked(s, domain, base, msgid))
                return found;
    }
    return msgid;
}

const char* ckTr(const char* msgid)
{
    std::string domain;
    {
        State& s = state();
        std::lock_guard<std::mutex> lock(s.mMutex);
        domain = s.mDefaultDomain;
    }
    return ckTrD(domain.c_str(), msgid);
}
