// Translation catalogs: ".mo" parsing and refusal, language rules from the
// environment, lookup order, and the toolkit's built-in German catalog.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "GuiTranslation.h"
#include "corekitc.h"

namespace {

const char* const kLocaleVars[] = {"LC_ALL", "LC_MESSAGES", "LANG", "LANGUAGE"};

// Builds a ".mo" image from msgid/msgstr pairs (msgids sorted by byte value).
struct MoImage {
    std::map<std::string, std::string> entries;
    bool bigEndian = false;
    uint32_t revision = 0;

    std::vector<unsigned char> bytes() const
    {
        std::vector<unsigned char> out;
        auto put = [&](uint32_t v) {
            for (int i = 0; i < 4; ++i) {
                int shift = bigEndian ? 24 - 8 * i : 8 * i;
                out.push_back(static_cast<unsigned char>(v >> shift));
            }
        };
        uint32_t n = static_cast<uint32_t>(entries.size());
        uint32_t ids = 28, strs = ids + 8 * n, pos = strs + 8 * n;
        put(0x950412DE);
        put(revision);
        put(n);
        put(ids);
        put(strs);
        put(0);
        put(0);
        std::string blob;
        for (auto& e : entries) {
            put(static_cast<uint32_t>(e.first.size()));
            put(pos + static_cast<uint32_t>(blob.size()));
            blob += e.first + '\0';
        }
        for (auto& e : entries) {
            put(static_cast<uint32_t>(e.second.size()));
            put(pos + static_cast<uint32_t>(blob.size()));
            blob += e.second + '\0';
        }
        out.insert(out.end(), blob.begin(), blob.end());
        return out;
    }
};

MoImage image(std::map<std::string, std::string> entries)
{
    MoImage m;
    m.entries = std::move(entries);
    return m;
}

bool add(const std::string& domain, const std::string& language, const MoImage& m)
{
    std::vector<unsigned char> b = m.bytes();
    return ckTrAddMoData(domain, language, b.data(), b.size());
}

// Every test starts from a clean state: no locale variables, no registrations,
// and the toolkit's built-in catalogs registered again as at program start.
class TranslationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* v : kLocaleVars) {
            const char* value = getenv(v);
            if (value)
                mSaved[v] = value;
            unsetenv(v);
        }
        resetWithBuiltIns();
    }

    void TearDown() override
    {
        for (const char* v : kLocaleVars)
            unsetenv(v);
        for (auto& s : mSaved)
            setenv(s.first.c_str(), s.second.c_str(), 1);
        resetWithBuiltIns();
    }

    static void resetWithBuiltIns()
    {
        ckTrReset();
        for (const GuiEmbeddedCatalog* c = gGuiEmbeddedCatalogs; c->language; ++c)
            ckTrAddMoData("corekitgui", c->language, c->data, c->size);
    }

    std::map<std::string, std::string> mSaved;
};

}  // namespace

TEST(TranslationLanguage, Normalization)
{
    const std::pair<const char*, const char*> cases[] = {
        {"de_DE.UTF-8", "de_DE"}, {"en-us", "en_US"}, {"DE", "de"},    {"pt_br@euro", "pt_BR"},
        {"C.UTF-8", ""},          {"C", ""},          {"POSIX", ""},   {"", ""},
        {"@euro", ""},            {"Sr_rs-Latn", "sr_RS_LATN"},       {"fr_CA.ISO-8859-1@x", "fr_CA"},
    };
    for (auto& c : cases)
        EXPECT_EQ(ckTrNormalizeLanguage(c.first), c.second) << c.first;
}

TEST_F(TranslationTest, SystemLanguageFromEnvironment)
{
    struct Case {
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        const char* language;
        const char* expected;
    };
    const Case cases[] = {
        {nullptr, nullptr, nullptr, nullptr, ""},
        {nullptr, nullptr, "de_DE.UTF-8", nullptr, "de_DE"},
        {nullptr, "fr_FR", "de_DE", nullptr, "fr_FR"},
        {"it_IT", "fr_FR", "de_DE", nullptr, "it_IT"},
        {"", "", "de_AT", nullptr, "de_AT"},             // empty variables are skipped
        {nullptr, nullptr, "C", "de", ""},                // C locale: LANGUAGE is not consulted
        {nullptr, nullptr, nullptr, "de", ""},            // nothing set: LANGUAGE is not consulted
        {nullptr, nullptr, "en_US.UTF-8", "de:en", "de"}, // first LANGUAGE entry wins
        {nullptr, nullptr, "en_US.UTF-8", ":de", "en_US"},
        {nullptr, nullptr, "en_US.UTF-8", "C", "en_US"},
    };
    for (const Case& c : cases) {
        const char* values[] = {c.lcAll, c.lcMessages, c.lang, c.language};
        for (int i = 0; i < 4; ++i) {
            if (values[i])
                setenv(kLocaleVars[i], values[i], 1);
            else
                unsetenv(kLocaleVars[i]);
        }
        EXPECT_EQ(ckTrSystemLanguage(), c.expected)
            << (c.lang ? c.lang : "-") << " / " << (c.language ? c.language : "-");
    }
}

TEST_F(TranslationTest, BuiltInGermanCatalogThroughRegionFallback)
{
    setenv("LANG", "de_DE.UTF-8", 1);
    EXPECT_STREQ(GuiTr("Cancel"), "Abbrechen");
    EXPECT_EQ(ckTrGetLanguage(), "de_DE");

    const std::pair<const char*, const char*> messages[] = {
        {"Cancel", "Abbrechen"},
        {"Cannot read directory:", "Verzeichnis kann nicht gelesen werden:"},
        {"Directory not found:", "Verzeichnis nicht gefunden:"},
        {"File not found.", "Datei nicht gefunden."},
        {"Hex:", "Hex:"},
        {"No", "Nein"},
        {"OK", "OK"},
        {"Open", "Öffnen"},
        {"Please enter a file name.", "Bitte einen Dateinamen eingeben."},
        {"Please select a file.", "Bitte eine Datei auswählen."},
        {"Save", "Speichern"},
        {"The file already exists. Click \"Save\" again to overwrite it.",
         "Datei existiert bereits - nochmal auf \"Speichern\" klicken zum Überschreiben."},
        {"This is a folder, not a file name.", "Das ist ein Ordner, kein Dateiname."},
        {"Yes", "Ja"},
    };
    for (auto& m : messages)
        EXPECT_STREQ(GuiTr(m.first), m.second) << m.first;

    const char* absent = "Not in the catalog";
    EXPECT_EQ(GuiTr(absent), absent);  // the very pointer passed in
    EXPECT_EQ(GuiTr(nullptr), nullptr);
    EXPECT_STREQ(GuiTr(""), "");
    EXPECT_EQ(ckTrD(nullptr, "Cancel"), std::string("Cancel"));
    EXPECT_STREQ(ckTrD("other", "Cancel"), "Cancel");
}

TEST_F(TranslationTest, EnvironmentDecidesTheToolkitLanguage)
{
    struct Case {
        const char* lang;
        const char* language;
        const char* cancel;
    };
    const Case cases[] = {
        {"C", "de", "Cancel"},
        {"en_US.UTF-8", "de:en", "Abbrechen"},
        {"en_US.UTF-8", nullptr, "Cancel"},
        {nullptr, nullptr, "Cancel"},
        {"de", nullptr, "Abbrechen"},
    };
    for (const Case& c : cases) {
        resetWithBuiltIns();
        unsetenv("LANG");
        unsetenv("LANGUAGE");
        if (c.lang)
            setenv("LANG", c.lang, 1);
        if (c.language)
            setenv("LANGUAGE", c.language, 1);
        EXPECT_STREQ(GuiTr("Cancel"), c.cancel) << (c.lang ? c.lang : "-");
    }
}

TEST_F(TranslationTest, LanguageIsFixedByFirstLookupUnlessSetExplicitly)
{
    setenv("LANG", "de_DE", 1);
    EXPECT_STREQ(GuiTr("Yes"), "Ja");
    setenv("LANG", "C", 1);
    EXPECT_STREQ(GuiTr("Yes"), "Ja");  // later changes of the environment are not noticed
    GuiSetLanguage("C");
    EXPECT_STREQ(GuiTr("Yes"), "Yes");
    GuiSetLanguage("de_CH.UTF-8");
    EXPECT_EQ(ckTrGetLanguage(), "de_CH");
    EXPECT_STREQ(GuiTr("Yes"), "Ja");
}

TEST_F(TranslationTest, NewestCatalogWinsAndEmptyTranslationsFallThrough)
{
    ckTrSetLanguage("fr");
    ASSERT_TRUE(add("app", "fr", image({{"Hello", "Bonjour"}, {"Bye", "Au revoir"}, {"Keep", "Garder"}})));
    ASSERT_TRUE(add("app", "fr", image({{"Hello", "Salut"}, {"Keep", ""}})));
    EXPECT_STREQ(ckTrD("app", "Hello"), "Salut");
    EXPECT_STREQ(ckTrD("app", "Bye"), "Au revoir");
    EXPECT_STREQ(ckTrD("app", "Keep"), "Garder");
    EXPECT_STREQ(ckTrD("other", "Hello"), "Hello");

    // Region catalog first, then the base language.
    ckTrSetLanguage("fr_CA");
    ASSERT_TRUE(add("app", "fr-ca", image({{"Bye", "Bye-bye"}})));
    EXPECT_STREQ(ckTrD("app", "Bye"), "Bye-bye");
    EXPECT_STREQ(ckTrD("app", "Hello"), "Salut");

    // The default domain for ckTr.
    EXPECT_STREQ(ckTr("Hello"), "Hello");
    ckTrSetDefaultDomain("app");
    EXPECT_STREQ(ckTr("Hello"), "Salut");
}

TEST_F(TranslationTest, ResetForgetsRegistrationsButKeepsReturnedTexts)
{
    setenv("LANG", "de_DE.UTF-8", 1);
    const char* before = GuiTr("Save");
    ASSERT_STREQ(before, "Speichern");
    ckTrReset();
    setenv("LANG", "en_GB", 1);  // the language is determined anew from the environment
    EXPECT_STREQ(GuiTr("Save"), "Save");
    EXPECT_STREQ(before, "Speichern");  // still valid: catalogs are never freed
    GuiSetLanguage("de");
    EXPECT_STREQ(GuiTr("Save"), "Save");  // no catalog registered any more

    ckTrReset();
    ASSERT_TRUE(add("corekitgui", "en", image({{"Save", "Store"}})));
    EXPECT_STREQ(GuiTr("Save"), "Store");
    EXPECT_EQ(ckTrGetLanguage(), "en_GB");
}

TEST_F(TranslationTest, BigEndianAndPluralEntries)
{
    ckTrSetLanguage("nl");
    MoImage big = image({{"", "Content-Type: text/plain; charset=UTF-8;\n"}, {"One", "Een"}});
    big.bigEndian = true;
    ASSERT_TRUE(add("d", "nl", big));
    EXPECT_STREQ(ckTrD("d", "One"), "Een");

    // A plural entry: only the singular msgid and the first translation count.
    ASSERT_TRUE(add("d", "nl", image({{std::string("file\0files", 10), std::string("bestand\0bestanden", 17)}})));
    EXPECT_STREQ(ckTrD("d", "file"), "bestand");
    EXPECT_STREQ(ckTrD("d", "files"), "files");
}

TEST_F(TranslationTest, HeaderCharsetDecidesAcceptance)
{
    ckTrSetLanguage("sv");
    struct Case {
        const char* header;
        bool accepted;
    };
    const Case cases[] = {
        {"Content-Type: text/plain; charset=UTF-8\n", true},
        {"Content-Type: text/plain; charset=utf8 \n", true},
        {"Content-Type: text/plain; charset=UTF-8;", true},
        {"Project-Id-Version: x\n", true},
        {"Content-Type: text/plain; charset=ISO-8859-1\n", false},
        {"charset=\n", false},
        {"charset=UTF-16", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(add("h", "sv", image({{"", c.header}, {"Text", "Ok"}})), c.accepted) << c.header;
    }
}

TEST_F(TranslationTest, MalformedImagesAreRefusedWithoutRegistering)
{
    ckTrSetLanguage("da");
    std::vector<unsigned char> good = image({{"A", "B"}}).bytes();
    ASSERT_TRUE(ckTrAddMoData("probe", "da", good.data(), good.size()));
    ckTrReset();
    ckTrSetLanguage("da");

    auto with = [&](size_t offset, uint32_t value) {
        std::vector<unsigned char> b = good;
        for (int i = 0; i < 4; ++i)
            b[offset + i] = static_cast<unsigned char>(value >> (8 * i));
        return b;
    };
    MoImage rev = image({{"A", "B"}});
    rev.revision = 0x00010000;
    MoImage minor = image({{"A", "B"}});
    minor.revision = 0x00000001;
    EXPECT_TRUE(add("m", "da", minor));  // only the major revision must be 0

    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;
    };
    const std::vector<Case> cases = {
        {"empty", {}},
        {"three bytes", {0xde, 0x12, 0x04}},
        {"bad magic", with(0, 0x12345678)},
        {"magic only", std::vector<unsigned char>(good.begin(), good.begin() + 4)},
        {"header cut", std::vector<unsigned char>(good.begin(), good.begin() + 18)},
        {"major revision", rev.bytes()},
        {"count beyond image", with(8, 1000)},
        {"huge count", with(8, 0x20000000)},
        {"msgid table outside", with(12, 0xfffffff0)},
        {"translation table outside", with(16, static_cast<uint32_t>(good.size()) - 4)},
        {"msgid string outside", with(28 + 4, static_cast<uint32_t>(good.size()))},
        {"msgid length outside", with(28, 0xffffffff)},
        {"translation string outside", with(36 + 4, 0xfffffffc)},
        {"truncated strings", std::vector<unsigned char>(good.begin(), good.end() - 3)},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(ckTrAddMoData("m", "da", c.bytes.data(), c.bytes.size())) << c.what;
        EXPECT_STREQ(ckTrD("x", "A"), "A") << c.what;
    }
    EXPECT_FALSE(ckTrAddMoData("m", "da", nullptr, 100));
    EXPECT_STREQ(ckTrD("m", "A"), "B");  // only the accepted minor-revision image
}

TEST_F(TranslationTest, FilesAndDirectories)
{
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("corekit_tr_" + std::to_string(getpid()));
    fs::create_directories(dir / "pt" / "LC_MESSAGES");
    fs::create_directories(dir / "pt_BR" / "LC_MESSAGES");
    auto write = [](const fs::path& p, const MoImage& m) {
        std::vector<unsigned char> b = m.bytes();
        std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), b.size());
    };
    write(dir / "pt" / "LC_MESSAGES" / "app.mo", image({{"Open", "Abrir"}, {"Close", "Fechar"}}));
    write(dir / "pt_BR" / "LC_MESSAGES" / "app.mo", image({{"Close", "Fechar (BR)"}}));

    EXPECT_FALSE(ckTrAddMoFile("app", "pt", (dir / "missing.mo").string()));
    EXPECT_FALSE(ckTrAddMoFile("app", "pt", dir.string()));  // a directory is no catalog

    ckTrSetLanguage("");
    EXPECT_FALSE(ckTrLoadDir("app", dir.string()));  // no language: nothing to load

    ckTrSetLanguage("pt_BR.UTF-8");
    EXPECT_TRUE(ckTrLoadDir("app", dir.string()));
    EXPECT_STREQ(ckTrD("app", "Close"), "Fechar (BR)");
    EXPECT_STREQ(ckTrD("app", "Open"), "Abrir");
    EXPECT_FALSE(ckTrLoadDir("none", dir.string()));

    ckTrSetLanguage("pt");
    EXPECT_TRUE(ckTrAddMoFile("app2", "pt", (dir / "pt" / "LC_MESSAGES" / "app.mo").string()));
    EXPECT_STREQ(ckTrD("app2", "Open"), "Abrir");
    fs::remove_all(dir);
}

TEST_F(TranslationTest, ConcurrentLookupsAndRegistrations)
{
    ckTrSetLanguage("de");
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &wrong] {
            for (int i = 0; i < 200; ++i) {
                if (t == 0)
                    add("conc", "de", image({{"k" + std::to_string(i), "v"}}));
                else if (std::string(GuiTr("No")) != "Nein")
                    ++wrong;
            }
        });
    }
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_STREQ(ckTrD("conc", "k199"), "v");
}

// No registration by the test: the built-in catalog is there from program start.
TEST(BuiltInCatalog, RegisteredAtProgramStart)
{
    ASSERT_NE(gGuiEmbeddedCatalogs[0].language, nullptr);
    EXPECT_STREQ(gGuiEmbeddedCatalogs[0].language, "de");
    EXPECT_EQ(gGuiEmbeddedCatalogs[1].language, nullptr);
    GuiSetLanguage("de_DE.UTF-8");
    EXPECT_STREQ(GuiTr("Cancel"), "Abbrechen");
    EXPECT_STREQ(GuiTr("Open"), "Öffnen");
    GuiSetLanguage("");
    EXPECT_STREQ(GuiTr("Cancel"), "Cancel");
}
