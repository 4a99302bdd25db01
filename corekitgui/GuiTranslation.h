// Translation of the toolkit's user-visible texts. The toolkit uses the text
// domain "corekitgui" and carries its German catalog inside the program; it is
// registered during static initialization, so GuiTr works from the first call.
#pragma once

#include <cstddef>
#include <string>

// One built-in catalog: ".mo" bytes for a language.
struct GuiEmbeddedCatalog {
    const char* language;
    const unsigned char* data;
    size_t size;
};

// Built-in catalogs, ended by a record whose language is null.
extern const GuiEmbeddedCatalog gGuiEmbeddedCatalogs[];

// The translation of msgid in the domain "corekitgui" for the current language,
// or msgid itself (the same pointer) when there is none.
const char* GuiTr(const char* msgid);
// Sets the language explicitly instead of taking it from the environment.
void GuiSetLanguage(const std::string& language);
