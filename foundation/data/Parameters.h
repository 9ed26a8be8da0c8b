// A typed parameter set: names mapped to strings, numbers, truth values, nested
// parameter sets and vectors, with getters that fall back to a default.
#pragma once

#include "foundation/containers/Hashtable2.h"
#include "foundation/containers/Vector.h"
#include "foundation/lang/Array.h"

namespace util_ds {

using torvik_lang::_Array;
using torvik_lang::_Object;
using torvik_lang::_Ref;
using torvik_lang::_String;
using torvik_util::_Hashtable;
using torvik_util::_Vector;

// An argument vector: strings in an array of objects.
using _ArgumentArray = _Array<_Ref<_String>, _Array<_Ref<_Object>, _Object>>;

class _Parameters : public util::_Hashtable2 {
public:
    _Parameters() : _Hashtable2(17, 0.75f) {}
    _Parameters(int initialCapacity, float loadFactor) : _Hashtable2(initialCapacity, loadFactor) {}

    // Shallow merge: the values are shared, not copied. Without `overwrite` the names
    // this set already holds keep their values.
    virtual void add(const _Ref<_Hashtable>& other, bool overwrite);
    // The setters return this set, so that calls can be chained.
    virtual _Ref<_Parameters> set(const _Ref<_String>& name, double value);
    virtual _Ref<_Parameters> set(const _Ref<_String>& name, const _Ref<_Object>& value);
    virtual _Ref<_Parameters> set(const _Ref<_String>& name, int value);
    virtual _Ref<_Parameters> set(const _Ref<_String>& name, bool value);
    // A text would otherwise be taken silently as a truth value.
    _Ref<_Parameters> set(const _Ref<_String>& name, char const* value) = delete;
    // A _Boolean, or a _Number that is not 0; anything else gives `def`.
    virtual bool getBoolean(char const* name, bool def);
    virtual bool getBoolean(const _Ref<_String>& name, bool def);
    // The value's text; no value gives `def`.
    virtual _Ref<_String> getString(char const* name, char const* def);
    virtual _Ref<_String> getString(const _Ref<_String>& name, const _Ref<_String>& def);
    // A _Number's int value, or a decimal _String; anything else gives `def`.
    virtual int getInt(char const* name, int def);
    virtual int getInt(const _Ref<_String>& name, int def);
    virtual double getDouble(char const* name, double def);
    virtual double getDouble(const _Ref<_String>& name, double def);
    // True also for a name held with a null value.
    virtual bool isSet(const _Ref<_String>& name);
    virtual _Ref<_Object> getObject(const _Ref<_String>& name);
    // Null unless the value is of the asked-for kind.
    virtual _Ref<_Parameters> getParameters(char const* name);
    virtual _Ref<_Parameters> getParameters(const _Ref<_String>& name);
    virtual _Ref<_Vector> getVector(const _Ref<_String>& name);
    // Merges `other` at every depth: nested sets on both sides are merged, plain values
    // of `other` replace those of this set, and where only one side holds a nested set
    // the key keeps that set and the other side's plain value goes into it under ".".
    virtual void addDeep(_Ref<_Parameters> other);
    // Reads "-name value" and "-flag" arguments; returns the last argument when it is
    // not a switch, else null.
    virtual _Ref<_String> interpretCommandLine(_Ref<_ArgumentArray> args);

private:
    struct Merge;
    void addDeep(const _Ref<_Parameters>& other, Merge* outer);
};

}  // namespace util_ds
