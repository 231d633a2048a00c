// Build-time tool: turns the readable language sources (resources/lang/*.lang)
// into archived configurations and writes them as a C++ source of byte arrays
// keyed by resource id, which the syntax library compiles in.
//
//   tavro_langc OUTPUT.cpp [--archives DIR] SOURCE.lang...
//
// Each source is loaded into a SECEditLangConfig and written with the same
// archive writer the program uses, so the embedded bytes are exactly what the
// configuration writes back. With --archives each archive is also written to
// DIR/<id>.bin (the seed corpus of the archive fuzzer).

#include "syntax/SECEditArchiveReader.h"
#include "syntax/SECEditArchiveWriter.h"
#include "syntax/SECEditLangConfig.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct ConfigDeleter
{
    void operator()(SECEditLangConfig* config) const { config->Release(); }
};
using ConfigPtr = std::unique_ptr<SECEditLangConfig, ConfigDeleter>;

class SourceError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// UTF-8 to UTF-16; the sources are UTF-8 text.
std::u16string FromUtf8(std::string_view text)
{
    std::u16string out;
    for (std::size_t i = 0; i < text.size();)
    {
        const auto lead = static_cast<unsigned char>(text[i]);
        char32_t code = 0;
        std::size_t extra = 0;
        if (lead < 0x80)
            code = lead;
        else if ((lead & 0xE0) == 0xC0)
            code = lead & 0x1F, extra = 1;
        else if ((lead & 0xF0) == 0xE0)
            code = lead & 0x0F, extra = 2;
        else if ((lead & 0xF8) == 0xF0)
            code = lead & 0x07, extra = 3;
        else
            throw SourceError("invalid UTF-8");
        for (std::size_t k = 1; k <= extra; ++k)
        {
            if (i + k >= text.size())
                throw SourceError("truncated UTF-8");
            code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        i += extra + 1;
        if (code >= 0x10000)
        {
            code -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        }
        else
        {
            out.push_back(static_cast<char16_t>(code));
        }
    }
    return out;
}

std::string_view Trim(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// Splits a line into bare words and "quoted strings" (with \" and \\); a
// bare ; starts a comment.
std::vector<std::string> Tokens(std::string_view line)
{
    std::vector<std::string> tokens;
    std::size_t i = 0;
    while (i < line.size())
    {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r')
        {
            ++i;
            continue;
        }
        if (c == ';')
            break;
        std::string token;
        if (c == '"')
        {
            ++i;
            bool closed = false;
            while (i < line.size())
            {
                char d = line[i++];
                if (d == '"')
                {
                    closed = true;
                    break;
                }
                if (d == '\\')
                {
                    if (i >= line.size())
                        break;
                    d = line[i++];
                    if (d != '"' && d != '\\')
                        throw SourceError("unknown escape \\" + std::string(1, d));
                }
                token.push_back(d);
            }
            if (!closed)
                throw SourceError("unterminated string");
            tokens.push_back("\"" + token); // marked as quoted
        }
        else
        {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r')
                token.push_back(line[i++]);
            tokens.push_back(token);
        }
    }
    return tokens;
}

std::u16string Str(const std::string& token)
{
    if (token.empty() || token[0] != '"')
        throw SourceError("expected a quoted string, found " + token);
    return FromUtf8(std::string_view(token).substr(1));
}

long Number(const std::string& token, int base = 10)
{
    if (token.empty() || token[0] == '"')
        throw SourceError("expected a number, found " + token);
    char* end = nullptr;
    const long value = std::strtol(token.c_str(), &end, base);
    if (*end != '\0')
        throw SourceError("expected a number, found " + token);
    return value;
}

bool Flag(const std::string& token)
{
    const long value = Number(token);
    if (value != 0 && value != 1)
        throw SourceError("expected 0 or 1, found " + token);
    return value == 1;
}

void Expect(const std::vector<std::string>& tokens, std::size_t count)
{
    if (tokens.size() != count)
        throw SourceError("expected " + std::to_string(count) + " fields, found " + std::to_string(tokens.size()));
}

struct Source
{
    std::string name;
    int resourceId = 0;
    ConfigPtr config;
};

Source Compile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw SourceError("cannot open " + path);

    Source source;
    source.config.reset(new SECEditLangConfig());
    SECEditLangConfig& config = *source.config;
    config.Clear();
    std::set<std::string> settingsSeen;

    std::string section;
    int keywordGroup = -1;
    std::string raw;
    int lineNumber = 0;
    try
    {
        while (std::getline(in, raw))
        {
            ++lineNumber;
            const std::string_view line = Trim(raw);
            if (line.empty() || line[0] == ';')
                continue;
            if (line[0] == '[')
            {
                if (line.back() != ']')
                    throw SourceError("bad section header");
                section = std::string(line.substr(1, line.size() - 2));
                keywordGroup = -1;
                if (section.rfind("keywords ", 0) == 0)
                {
                    keywordGroup = static_cast<int>(Number(section.substr(9)));
                    section = "keywords";
                }
                continue;
            }
            if (section == "keywords")
            {
                // The whole line is the keyword: keywords may hold blanks.
                config.AddKeyword(FromUtf8(line), static_cast<std::uint16_t>(keywordGroup));
                continue;
            }
            const std::vector<std::string> tokens = Tokens(line);
            if (tokens.empty())
                continue;
            const std::string& key = tokens[0];
            if (section == "language")
            {
                Expect(tokens, 2);
                if (key == "name")
                    source.name = tokens[1].substr(1);
                else if (key == "resource")
                    source.resourceId = static_cast<int>(Number(tokens[1]));
                else
                    throw SourceError("unknown entry " + key);
            }
            else if (section == "settings" || section == "font")
            {
                Expect(tokens, 2);
                settingsSeen.insert(key);
                if (key == "MatchCase")
                    config.SetMatchCase(Flag(tokens[1]));
                else if (key == "ShowWhitespace")
                    config.SetShowWhitespace(Flag(tokens[1]));
                else if (key == "ReplaceTabs")
                    config.SetReplaceTabs(Flag(tokens[1]));
                else if (key == "VirtualWhitespace")
                    config.SetVirtualWhitespace(Flag(tokens[1]));
                else if (key == "AutoIndent")
                    config.SetAutoIndent(Flag(tokens[1]));
                else if (key == "TabSize")
                {
                    const long size = Number(tokens[1]);
                    if (size < 1 || size > 64)
                        throw SourceError("tab size out of range");
                    config.SetTabSize(static_cast<int>(size));
                }
                else if (key == "Facename")
                    config.SetFacename(Str(tokens[1]));
                else if (key == "Size")
                {
                    const long size = Number(tokens[1]);
                    if (size < 1 || size > 400)
                        throw SourceError("font size out of range");
                    config.SetSize(static_cast<int>(size));
                }
                else if (key == "Italic")
                    config.SetItalic(Flag(tokens[1]));
                else if (key == "Bold")
                    config.SetBold(Flag(tokens[1]));
                else
                    throw SourceError("unknown setting " + key);
            }
            else if (section == "groups")
            {
                Expect(tokens, 7);
                SECEditColorGroup group;
                group.displayName = Str(tokens[1]);
                group.foreground = static_cast<std::uint32_t>(Number(tokens[2], 16));
                group.background = static_cast<std::uint32_t>(Number(tokens[3], 16));
                if (group.foreground > 0xFFFFFF || group.background > 0xFFFFFF)
                    throw SourceError("colour out of range");
                group.foregroundAutomatic = Flag(tokens[4]);
                group.backgroundAutomatic = Flag(tokens[5]);
                group.configurable = Flag(tokens[6]);
                config.SetGroupKey(Str(tokens[0]), static_cast<std::uint16_t>(config.GetColorGroupCount()));
                config.GetColorGroups().push_back(std::move(group));
            }
            else if (section == "delimiters")
            {
                if (key == "record")
                {
                    Expect(tokens, 6);
                    SECEditDelimiter delimiter;
                    delimiter.opening = Str(tokens[1]);
                    delimiter.closing = Str(tokens[2]);
                    delimiter.escape = Str(tokens[3]);
                    delimiter.group = static_cast<std::uint16_t>(Number(tokens[4]));
                    delimiter.multiLine = Flag(tokens[5]);
                    if (delimiter.opening.empty())
                        throw SourceError("empty opening text");
                    config.AddDelimiter(delimiter);
                }
                else if (key == "prefix")
                {
                    Expect(tokens, 2);
                    config.AddDelimiterPrefix(Str(tokens[1]));
                }
                else
                {
                    throw SourceError("unknown delimiter entry " + key);
                }
            }
            else if (section == "classes")
            {
                Expect(tokens, 2);
                static const std::map<std::string, CharClass> kClasses{
                    {"WordStart", WordStart}, {"WordPart", WordPart}, {"WordEnd", WordEnd},
                    {"Delimiter", Delimiter}, {"Operator", Operator}};
                const auto found = kClasses.find(key);
                if (found == kClasses.end())
                    throw SourceError("unknown class " + key);
                config.SetCharClass(Str(tokens[1]), found->second, true);
            }
            else
            {
                throw SourceError("entry outside a known section");
            }
        }
    }
    catch (const SourceError& error)
    {
        throw SourceError(path + ":" + std::to_string(lineNumber) + ": " + error.what());
    }
    if (settingsSeen.size() != 10)
        throw SourceError(path + ": the six editor settings and four font values must all be given");
    return source;
}

// What the program relies on: the four standard groups first, group indices
// in range, every proper prefix of an opening text present, all settings given.
void Check(const std::string& path, const Source& source)
{
    const SECEditLangConfig& config = *source.config;
    auto fail = [&path](const std::string& what) { throw SourceError(path + ": " + what); };
    if (source.name.empty() || source.resourceId <= 0)
        fail("missing name or resource id");
    if (config.GetColorGroupCount() < 4)
        fail("fewer than four colour groups");
    std::vector<std::u16string> keywords;
    config.GetKeywords(keywords);
    std::vector<const SECEditDelimiter*> delimiters;
    config.GetDelimiters(delimiters, DelimiterMode::Any);
    for (const SECEditDelimiter* delimiter : delimiters)
    {
        if (delimiter->group >= config.GetColorGroupCount())
            fail("delimiter group out of range");
        // The lookup walks the prefixes one character at a time; a missing
        // prefix key would hide the opening text.
        const auto length = static_cast<int>(delimiter->opening.size());
        if (config.FindDelimiter(delimiter->opening.data(), length, 0, DelimiterMode::Any) != delimiter)
            fail("opening text unreachable: a prefix key is missing");
    }
    for (const std::u16string& keyword : keywords)
    {
        std::uint16_t group = 0;
        config.ClassifyWord(keyword, group);
        if (group >= config.GetColorGroupCount())
            fail("keyword group out of range");
    }
}

std::vector<std::uint8_t> Archive(const SECEditLangConfig& config)
{
    SECEditArchiveWriter writer;
    config.Serialize(writer);
    return writer.TakeBytes();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
    {
        std::cerr << "usage: tavro_langc OUTPUT.cpp [--archives DIR] SOURCE.lang...\n";
        return 2;
    }
    const std::string output = argv[1];
    std::string archiveDir;
    std::vector<std::string> inputs;
    for (int i = 2; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if (arg == "--archives" && i + 1 < argc)
            archiveDir = argv[++i];
        else
            inputs.push_back(arg);
    }

    std::ostringstream code;
    code << "// Generated by tavro_langc from resources/lang; do not edit.\n"
         << "#include \"syntax/LangConfigResources.h\"\n\n"
         << "namespace {\n\n";
    std::map<int, std::string> table;
    try
    {
        for (const std::string& path : inputs)
        {
            const Source source = Compile(path);
            Check(path, source);
            if (table.count(source.resourceId))
                throw SourceError(path + ": resource id used twice");
            const std::vector<std::uint8_t> bytes = Archive(*source.config);

            // The bytes must read back into a configuration that writes them again.
            ConfigPtr reread(new SECEditLangConfig());
            SECEditArchiveReader reader(bytes);
            if (!reread->Serialize(reader) || !reader.AtEnd() || Archive(*reread) != bytes)
                throw SourceError(path + ": archive does not read back");

            const std::string symbol = "kResource" + std::to_string(source.resourceId);
            table[source.resourceId] = symbol;
            code << "// " << source.name << "\n"
                 << "constexpr std::uint8_t " << symbol << "[] = {";
            for (std::size_t i = 0; i < bytes.size(); ++i)
            {
                if (i % 24 == 0)
                    code << "\n    ";
                code << static_cast<unsigned>(bytes[i]) << ",";
            }
            code << "\n};\n\n";

            if (!archiveDir.empty())
            {
                std::ofstream bin(archiveDir + "/" + std::to_string(source.resourceId) + ".bin", std::ios::binary);
                bin.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
                if (!bin)
                    throw SourceError("cannot write archive for " + path);
            }
        }
    }
    catch (const SourceError& error)
    {
        std::cerr << "tavro_langc: " << error.what() << "\n";
        return 1;
    }

    code << "struct Resource\n{\n    int id;\n    std::span<const std::uint8_t> bytes;\n};\n\n"
         << "constexpr Resource kResources[] = {\n";
    for (const auto& [id, symbol] : table)
        code << "    {" << id << ", " << symbol << "},\n";
    code << "};\n\n} // namespace\n\n"
         << "std::span<const std::uint8_t> FindLangConfigResource(int resourceId)\n{\n"
         << "    for (const Resource& resource : kResources)\n    {\n"
         << "        if (resource.id == resourceId)\n            return resource.bytes;\n    }\n"
         << "    return {};\n}\n";

    // Write only when changed, so an unchanged table does not rebuild the library.
    const std::string text = code.str();
    {
        std::ifstream existing(output, std::ios::binary);
        std::ostringstream old;
        old << existing.rdbuf();
        if (existing && old.str() == text)
            return 0;
    }
    std::ofstream out(output, std::ios::binary);
    out << text;
    return out ? 0 : 1;
}
