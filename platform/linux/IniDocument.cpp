#include "platform/linux/IniDocument.h"

#include <cctype>
#include <cstring>

namespace glimsel_linux {

namespace {

bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string trim(const std::string& s) {
    size_t begin = 0;
    size_t end = s.size();
    while (begin < end && isBlank(s[begin])) ++begin;
    while (end > begin && isBlank(s[end - 1])) --end;
    return s.substr(begin, end - begin);
}

bool isControl(unsigned char c) { return c < 0x20 || c == 0x7f; }

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool validName(const std::string& name) {
    if (name.empty() || name.size() > 256) return false;
    if (isBlank(name.front()) || isBlank(name.back())) return false;
    for (char c : name) {
        if (isControl(static_cast<unsigned char>(c)) || c == '=' || c == '[' || c == ']') return false;
    }
    // A leading ';' or '#' would read back as a comment.
    return name[0] != ';' && name[0] != '#';
}

}  // namespace

IniDocument::IniDocument() { sections.push_back(Section{}); }

bool IniDocument::validSectionName(const std::string& name) { return name.empty() || validName(name); }

// A name that starts with a byte-order mark would lose it when it came first in the file.
bool IniDocument::validValueName(const std::string& name) {
    return validName(name) && name.compare(0, 3, "\xEF\xBB\xBF") != 0;
}

std::string IniDocument::escape(const std::string& value) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(value[i]);
        // Blanks at the ends would be lost to the trimming of hand-edited lines.
        bool edgeBlank = isBlank(static_cast<char>(c)) && (i == 0 || i + 1 == value.size());
        if (c == '\\') {
            out += "\\\\";
        } else if (isControl(c) || edgeBlank) {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string IniDocument::unescape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\\' && i + 1 < text.size()) {
            if (text[i + 1] == '\\') {
                out += '\\';
                ++i;
                continue;
            }
            if (text[i + 1] == 'x' && i + 3 < text.size()) {
                int high = hexDigit(text[i + 2]);
                int low = hexDigit(text[i + 3]);
                // A NUL cannot live in the caller's text; that escape stays literal.
                if (high >= 0 && low >= 0 && (high | low) != 0) {
                    out += static_cast<char>(high * 16 + low);
                    i += 3;
                    continue;
                }
            }
        }
        // Any other backslash is an ordinary character, as a hand-written path has it.
        out += c;
    }
    return out;
}

IniDocument::Section* IniDocument::section(const std::string& name) {
    for (Section& s : sections) {
        if (sameName(s.name, name)) return &s;
    }
    return nullptr;
}

const IniDocument::Section* IniDocument::section(const std::string& name) const {
    for (const Section& s : sections) {
        if (sameName(s.name, name)) return &s;
    }
    return nullptr;
}

void IniDocument::addLine(size_t& current, const std::string& raw) {
    if (std::memchr(raw.data(), 0, raw.size())) return;
    std::string line = trim(raw);
    if (line.empty() || line[0] == ';' || line[0] == '#') return;
    if (line[0] == '[') {
        std::string name = line.back() == ']' ? trim(line.substr(1, line.size() - 2)) : std::string();
        // A damaged header: the values under it belong nowhere.
        current = NONE;
        if (name.empty() || !validSectionName(name)) return;
        for (size_t i = 0; i < sections.size(); ++i) {
            if (sameName(sections[i].name, name)) current = i;
        }
        if (current == NONE) {
            sections.push_back(Section{name, {}});
            current = sections.size() - 1;
        }
        return;
    }
    if (current == NONE) return;
    std::vector<Entry>& entries = sections[current].entries;
    size_t eq = line.find('=');
    if (eq == std::string::npos) return;
    std::string name = trim(line.substr(0, eq));
    if (!validValueName(name)) return;
    // The first of several equal names wins, like a lookup from the top.
    for (const Entry& e : entries) {
        if (sameName(e.name, name)) return;
    }
    entries.push_back(Entry{name, unescape(trim(line.substr(eq + 1)))});
}

IniDocument IniDocument::parse(const std::string& text) {
    IniDocument doc;
    size_t current = 0;
    size_t pos = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        doc.byteOrderMark = true;
        pos = 3;
    }
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        size_t stop = end;
        if (stop > pos && text[stop - 1] == '\r') --stop;
        if (stop - pos <= MAX_LINE) doc.addLine(current, text.substr(pos, stop - pos));
        pos = end + 1;
    }
    return doc;
}

std::string IniDocument::serialize() const {
    std::string out;
    const std::string mark = byteOrderMark ? "\xEF\xBB\xBF" : "";
    for (size_t i = 0; i < sections.size(); ++i) {
        const Section& s = sections[i];
        if (i > 0) {
            if (s.entries.empty()) continue;
            if (!out.empty()) out += '\n';
            out += '[' + s.name + "]\n";
        }
        for (const Entry& e : s.entries) out += e.name + '=' + escape(e.value) + '\n';
    }
    return mark + out;
}

const std::string* IniDocument::find(const std::string& sectionName, const std::string& name) const {
    const Section* s = section(sectionName);
    if (!s) return nullptr;
    for (const Entry& e : s->entries) {
        if (sameName(e.name, name)) return &e.value;
    }
    return nullptr;
}

void IniDocument::set(const std::string& sectionName, const std::string& name, const std::string& value) {
    Section* s = section(sectionName);
    if (!s) {
        sections.push_back(Section{sectionName, {}});
        s = &sections.back();
    }
    for (Entry& e : s->entries) {
        if (sameName(e.name, name)) {
            e.value = value;
            return;
        }
    }
    s->entries.push_back(Entry{name, value});
}

bool IniDocument::erase(const std::string& sectionName, const std::string& name) {
    Section* s = section(sectionName);
    if (!s) return false;
    for (auto it = s->entries.begin(); it != s->entries.end(); ++it) {
        if (sameName(it->name, name)) {
            s->entries.erase(it);
            return true;
        }
    }
    return false;
}

}  // namespace glimsel_linux
