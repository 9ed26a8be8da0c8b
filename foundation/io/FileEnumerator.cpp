#include "foundation/io/FileEnumerator.h"

#include "foundation/lang/Throwable.h"

namespace torvik_io {

using torvik_lang::_S;

_FileEnumerator::_FileEnumerator(const _Ref<_File>& d, char const* p) : dir(d) {
    _Ref<_File> where = new _File(dir, p);
    pattern = _S(p);
    search = glimsel_os::findFiles(where->getPath()->c_str());
    advance();
}

_FileEnumerator::~_FileEnumerator() = default;

void _FileEnumerator::advance() {
    if (search && !search->next(found)) search.reset();
}

bool _FileEnumerator::hasMoreElements() { return search != nullptr; }

_Ref<_Object> _FileEnumerator::nextElement() {
    if (!search) return nullptr;
    _Ref<_String> name = _S(found.c_str());
    advance();
    return name;
}

}  // namespace torvik_io
