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
        if (s.usable && sameName(s.name, name)) return &s;
    }
    return nullptr;
}

void IniDocument::addLine(const std::string& raw) {
    Section& current = sections.back();
    // The line is kept with its carriage return, if any, and read without it.
    Line kept;
    kept.text = raw;
    const std::string content = !raw.empty() && raw.back() == '\r' ? raw.substr(0, raw.size() - 1) : raw;
    std::string line = trim(content);
    if (std::memchr(raw.data(), 0, raw.size()) || content.size() > MAX_LINE || line.empty() || line[0] == ';' ||
        line[0] == '#') {
        current.lines.push_back(kept);
        return;
    }
    if (line[0] == '[') {
        std::string name = line.back() == ']' ? trim(line.substr(1, line.size() - 2)) : std::string();
        Section next;
        next.header = raw;
        // A damaged header: the values under it belong nowhere.
        next.usable = !name.empty() && validSectionName(name);
        if (next.usable) next.name = name;
        sections.push_back(next);
        return;
    }
    size_t eq = line.find('=');
    std::string name = eq == std::string::npos ? std::string() : trim(line.substr(0, eq));
    // Values under a damaged header are kept as lines. Of several equal names the first
    // wins, like a lookup from the top.
    if (!current.usable || !validValueName(name)) {
        current.lines.push_back(kept);
        return;
    }
    kept.entry = true;
    kept.name = name;
    kept.value = unescape(trim(line.substr(eq + 1)));
    current.lines.push_back(kept);
}

IniDocument IniDocument::parse(const std::string& text) {
    IniDocument doc;
    size_t pos = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        doc.byteOrderMark = true;
        pos = 3;
    }
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        doc.addLine(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return doc;
}

std::string IniDocument::serialize() const {
    std::string out = byteOrderMark ? "\xEF\xBB\xBF" : "";
    for (size_t i = 0; i < sections.size(); ++i) {
        const Section& s = sections[i];
        if (i > 0) {
            if (!s.header.empty()) {
                out += s.header + '\n';
            } else {
                bool anyEntry = false;
                for (const Line& l : s.lines) anyEntry = anyEntry || l.entry;
                if (!anyEntry) continue;
                // A blank line in front of a new header, unless it comes first.
                const bool atStart = out.size() == (byteOrderMark ? 3u : 0u);
                const bool blankBefore = out.size() >= 2 && out.compare(out.size() - 2, 2, "\n\n") == 0;
                if (!atStart && !blankBefore) out += '\n';
                out += '[' + s.name + "]\n";
            }
        }
        for (const Line& l : s.lines) {
            out += l.entry && l.text.empty() ? l.name + '=' + escape(l.value) : l.text;
            out += '\n';
        }
    }
    return out;
}

const std::string* IniDocument::find(const std::string& sectionName, const std::string& name) const {
    for (const Section& s : sections) {
        if (!s.usable || !sameName(s.name, sectionName)) continue;
        for (const Line& l : s.lines) {
            if (l.entry && sameName(l.name, name)) return &l.value;
        }
    }
    return nullptr;
}

void IniDocument::set(const std::string& sectionName, const std::string& name, const std::string& value) {
    for (Section& s : sections) {
        if (!s.usable || !sameName(s.name, sectionName)) continue;
        for (Line& l : s.lines) {
            if (l.entry && sameName(l.name, name)) {
                l.value = value;
                l.text.clear();
                return;
            }
        }
    }
    Section* s = section(sectionName);
    if (!s) {
        sections.push_back(Section{sectionName, std::string(), true, {}});
        s = &sections.back();
    }
    // After the section's last line that is not blank, so that the blank line in front
    // of the next header stays there.
    size_t at = s->lines.size();
    while (at > 0 && !s->lines[at - 1].entry && trim(s->lines[at - 1].text).empty()) --at;
    Line line;
    line.entry = true;
    line.name = name;
    line.value = value;
    // The first value of a section that a header follows: a blank line before that.
    if (s->lines.empty() && s != &sections.back()) s->lines.push_back(Line());
    s->lines.insert(s->lines.begin() + static_cast<long>(at), line);
}

bool IniDocument::erase(const std::string& sectionName, const std::string& name) {
    // Every value of that name goes: a later duplicate must not come to light.
    bool erased = false;
    for (Section& s : sections) {
        if (!s.usable || !sameName(s.name, sectionName)) continue;
        for (auto it = s.lines.begin(); it != s.lines.end();) {
            if (it->entry && sameName(it->name, name)) {
                it = s.lines.erase(it);
                erased = true;
            } else {
                ++it;
            }
        }
    }
    return erased;
}

}  // namespace glimsel_linux
