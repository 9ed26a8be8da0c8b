// The text of a settings file: values in named sections, the section with the empty
// name first (its values stand before the first "[section]" line).
//
// The file is read as hostile input: a line longer than the limit, a line holding a NUL
// byte and any line that is neither a section header nor "name=value" means nothing;
// nothing is ever read out of bounds. Such lines, comments and blank lines are kept as
// they stood and written back, as is every value nobody changed, so that a write never
// loses what the file held. A UTF-8 byte-order mark at the start, as some
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
    // One line of a section: a value, or a line kept as it stood (`entry` false).
    struct Line {
        bool entry = false;
        std::string name;
        std::string value;
        std::string text;  // the line as read; empty once the value was changed
    };
    struct Section {
        std::string name;
        std::string header;   // the header line as read; empty for a section made here
        bool usable = true;   // false under a damaged header: its lines mean nothing
        std::vector<Line> lines;
    };

    Section* section(const std::string& name);
    // Reads one line into the last section, or starts a new one.
    void addLine(const std::string& line);

    std::vector<Section> sections;  // sections[0] is the one with the empty name
    bool byteOrderMark = false;     // the file began with one; it is written back
};

}  // namespace glimsel_linux
