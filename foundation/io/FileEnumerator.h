// The names in one directory that match a wildcard pattern, one after the other.
#pragma once

#include <memory>
#include <string>

#include "foundation/io/File.h"

namespace torvik_io {

class _FileEnumerator : public _Object, public _Enumeration {
public:
    // Starts the search at once; a directory that cannot be read yields no names.
    _FileEnumerator(const _Ref<_File>& dir, char const* pattern);
    ~_FileEnumerator() override;

    bool hasMoreElements() override;
    // The next name, or null when the search has ended.
    _Ref<_Object> nextElement() override;

private:
    void advance();

    _Ref<_File> dir;
    _Ref<_String> pattern;
    // The name the search found last, handed out by the next call of nextElement.
    std::string found;
    // Null once the search has ended.
    std::unique_ptr<glimsel_os::DirectorySearch> search;
};

}  // namespace torvik_io
