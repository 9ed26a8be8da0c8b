// A path in the platform's form, and the questions one can ask the file system about it.
//
// The path rules follow the separator style set with setPathStyle: with drive letters
// ("C:\a\b.gif") the root of a drive is "C:\" and a path is absolute when it starts with
// a drive root or a separator; without ("/a/b.gif") it is absolute when it starts with
// the separator and "/" is the root.
#pragma once

#include "foundation/containers/Enumeration.h"
#include "foundation/lang/String.h"
#include "platform/os.h"

namespace torvik_io {

using torvik_lang::_Object;
using torvik_lang::_Ref;
using torvik_lang::_String;
using torvik_util::_Enumeration;

class _File : public _Object {
public:
    // A null path throws a Throwable without message.
    explicit _File(const _Ref<_String>& path);
    explicit _File(char const* path);
    // The name inside the directory `dir`; the separator between them is not doubled.
    _File(const _Ref<_File>& dir, char const* name);
    _File(const _Ref<_File>& dir, const _Ref<_String>& name);

    // Set at start-up from the platform; tests switch styles with setPathStyle.
    static _Ref<_String> separator;
    static char separatorChar;
    static _Ref<_String> pathSeparator;
    static char pathSeparatorChar;

    // Makes `style` the path rules of every _File and resets the four statics above.
    static void setPathStyle(const glimsel_os::PathStyle& style);
    static glimsel_os::PathStyle getPathStyle();

    int hashCode() override;
    _Ref<_String> toString() override;

    virtual _Ref<_String> getName();
    virtual _Ref<_String> getPath();
    virtual bool exists();
    virtual _Ref<_String> getParent();
    virtual _Ref<_File> getParentFile();
    virtual bool isAbsolute();
    virtual _Ref<_String> getAbsolutePath();
    virtual _Ref<_File> getAbsoluteFile();
    virtual bool mkdir();
    virtual bool equalsPath(const _Ref<_Object>& o);
    virtual bool mkdirs();
    // The names (not paths) of the entries of this directory that match `pattern`,
    // in the directory's own order; letter case does not matter.
    virtual _Ref<_Enumeration> list(char const* pattern);
    virtual _Ref<_File> withExtension(char const* ext);

    // The user's home folder; null when the platform cannot tell.
    static _Ref<_File> getUserPath();

private:
    static glimsel_os::PathStyle style;

    static _Ref<_String> join(const _Ref<_String>& dir, const _Ref<_String>& name);
    static _Ref<_String> parentOf(const _Ref<_String>& path);
    // The rules on the characters of a path of `n` characters; parentLength is -1 when
    // the path has no parent.
    static bool isAbsoluteText(char const* s, int n);
    static int parentLength(char const* s, int n);

    _Ref<_String> path;
};

}  // namespace torvik_io
