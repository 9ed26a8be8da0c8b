#include "foundation/io/File.h"

#include <string>
#include <vector>

#include "foundation/io/FileEnumerator.h"
#include "foundation/lang/L.h"
#include "foundation/lang/Throwable.h"

namespace torvik_io {

using torvik_lang::_S;
using torvik_lang::L;
using torvik_lang::Throwable;

// Null and zero until start-up sets the platform's style.
_Ref<_String> _File::separator;
char _File::separatorChar;
_Ref<_String> _File::pathSeparator;
char _File::pathSeparatorChar;
glimsel_os::PathStyle _File::style;

namespace {

bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

_Ref<_String> checkedPath(const _Ref<_String>& path) {
    if (!path) throw Throwable();
    return path;
}

_Ref<_String> checkedPath(char const* path) {
    if (!path) throw Throwable();
    return _S(path);
}

}  // namespace

void _File::setPathStyle(const glimsel_os::PathStyle& s) {
    style = s;
    char sep[2] = {s.separator, 0};
    char list[2] = {s.pathSeparator, 0};
    separator = _S(sep);
    separatorChar = s.separator;
    pathSeparator = _S(list);
    pathSeparatorChar = s.pathSeparator;
}

glimsel_os::PathStyle _File::getPathStyle() { return style; }

_File::_File(const _Ref<_String>& p) : path(checkedPath(p)) {}

_File::_File(char const* p) : path(checkedPath(p)) {}

_File::_File(const _Ref<_File>& dir, char const* name) {
    if (!dir) torvik_lang::throwRefException(0);
    path = join(dir->getPath(), checkedPath(name));
}

_File::_File(const _Ref<_File>& dir, const _Ref<_String>& name) {
    if (!dir) torvik_lang::throwRefException(0);
    path = join(dir->getPath(), checkedPath(name));
}

_Ref<_String> _File::join(const _Ref<_String>& dir, const _Ref<_String>& name) {
    if (!dir) return name;
    if (dir->endsWith(separator)) return *dir + name;
    return *(*dir + separator) + name;
}

int _File::hashCode() { return path->hashCode() ^ 0x12D591; }

_Ref<_String> _File::toString() { return path; }

_Ref<_String> _File::getName() {
    int a = path->lastIndexOf(separatorChar);
    return a < 0 ? path : path->substring(a + 1);
}

_Ref<_String> _File::getPath() { return path; }

bool _File::exists() { return glimsel_os::pathExists(path->c_str()); }

bool _File::isAbsoluteText(char const* s, int n) {
    if (!style.driveLetters) return n >= 1 && s[0] == separatorChar;
    if (n < 3) return false;
    if (isAsciiLetter(s[0])) return s[1] == ':' && s[2] == separatorChar;
    return s[0] == separatorChar;
}

int _File::parentLength(char const* s, int n) {
    int a = n - 1;
    while (a >= 0 && s[a] != separatorChar) --a;
    if (a < 0) return -1;
    // The separator of the root stays with the parent: "C:\a" gives "C:\", "/a" gives "/".
    int first = 0;
    while (s[first] != separatorChar) ++first;
    if (isAbsoluteText(s, n) && a == first) return a >= n - 1 ? -1 : a + 1;
    return a;
}

_Ref<_String> _File::parentOf(const _Ref<_String>& p) {
    int n = parentLength(p->c_str(), p->length());
    return n < 0 ? nullptr : p->substring(0, n);
}

_Ref<_String> _File::getParent() { return parentOf(path); }

_Ref<_File> _File::getParentFile() {
    _Ref<_String> parent = getParent();
    if (!parent) return nullptr;
    return new _File(parent);
}

bool _File::isAbsolute() { return isAbsoluteText(path->c_str(), path->length()); }

_Ref<_String> _File::getAbsolutePath() {
    if (isAbsolute()) return path;
    std::string current;
    if (!glimsel_os::currentDirectory(current)) {
        throw Throwable(L::getString("GetCurrentDirectory returned 0"));
    }
    // A current directory that is a root already ends with the separator; join does
    // not double it.
    return join(_S(current.c_str()), path);
}

_Ref<_File> _File::getAbsoluteFile() { return new _File(getAbsolutePath()); }

bool _File::mkdir() { return glimsel_os::makeDirectory(path->c_str()); }

bool _File::equalsPath(const _Ref<_Object>& o) {
    if (!o) return false;
    _File* other = dynamic_cast<_File*>(o.get());
    if (!other) return false;
    return path->equals(_Ref<_Object>(other->path));
}

bool _File::mkdirs() {
    // Walks up until a level can be made, then makes the levels below it in turn. A loop
    // rather than recursion, so a path of many levels cannot exhaust the stack. Every
    // level is a leading part of the path: climbing cuts one copy of the text shorter
    // with a NUL, and going down puts the cut characters back.
    char const* original = path->c_str();
    std::vector<char> text(original, original + path->length() + 1);
    std::vector<int> levels{path->length()};
    for (;;) {
        int n = levels.back();
        text[static_cast<size_t>(n)] = 0;
        // A level that already exists ends the walk with false, as it does for the path itself.
        if (glimsel_os::pathExists(text.data())) return false;
        if (glimsel_os::makeDirectory(text.data())) break;
        int parent = parentLength(text.data(), n);
        if (parent < 0) return false;
        levels.push_back(parent);
    }
    for (size_t i = levels.size() - 1; i-- > 0;) {
        size_t above = static_cast<size_t>(levels[i + 1]);
        text[above] = original[above];
        if (!glimsel_os::makeDirectory(text.data())) return false;
    }
    return true;
}

_Ref<_Enumeration> _File::list(char const* pattern) {
    _Ref<_File> dir = new _File(path);
    return new _FileEnumerator(dir, pattern);
}

_Ref<_File> _File::withExtension(char const* ext) {
    if (!ext) torvik_lang::throwRefException(0);
    // Only a dot in the last name starts an extension; one in a folder name does not.
    int dot = path->lastIndexOf('.');
    _Ref<_String> stem = dot > path->lastIndexOf(separatorChar) ? path->substring(0, dot) : path;
    return new _File(*(*stem + _S(".")) + _S(ext));
}

_Ref<_File> _File::getUserPath() {
    std::string home;
    if (!glimsel_os::userHomeDirectory(home)) return nullptr;
    return new _File(home.c_str());
}

}  // namespace torvik_io
