// The text of a settings file: values in named sections, the section with the empty
// name first (its values stand before the first "[section]" line).
//
// The file is read as hostile input: a line longer than the limit, a line holding a NUL
// byte and any line that is neither a section header nor "name=value" is dropped;
// nothing is ever read out of bounds. A UTF-8 byte-order mark at the start, as some
// editors write one, is skipped and kept. Names compare without regard to ASCII case, as
// the registry's do. Values are written with escapes so that any text survives the
// round trip on one line: "\\" for a backslash, "\xHH" for a control byte and for a
// blank at either end.
#pragma once

#include <string>
#include <vector>

namespace glimsel_linux {

class IniDocument {
public:
    // Lines longer than this are dropped: a settings value is a folder path at most.
    static constexpr size_t MAX_LINE = 16 * 1024;

    IniDocument();

    static IniDocument parse(const std::string& text);
    std::string serialize() const;

    // The value of `name` in `section`, or null when absent.
    const std::string* find(const std::string& section, const std::string& name) const;
    void set(const std::string& section, const std::string& name, const std::string& value);
    // True when there was something to delete.
    bool erase(const std::string& section, const std::string& name);

    // A section or value name that the file can hold: no control bytes, no '=' or
    // brackets, no blanks at the ends, not empty (sections may be empty).
    static bool validSectionName(const std::string& name);
    static bool validValueName(const std::string& name);

    static std::string escape(const std::string& value);
    static std::string unescape(const std::string& text);

private:
    struct Entry {
        std::string name;
        std::string value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };

    Section* section(const std::string& name);
    const Section* section(const std::string& name) const;
    static constexpr size_t NONE = static_cast<size_t>(-1);
    // Reads one line; `current` is the index of the section it belongs to, or NONE.
    void addLine(size_t& current, const std::string& line);

    std::vector<Section> sections;  // sections[0] is the one with the empty name
    bool byteOrderMark = false;     // the file began with one; it is written back
};

}  // namespace glimsel_linux
