#include "foundation/data/Parameters.h"

#include "foundation/lang/Boolean.h"
#include "foundation/lang/Double.h"
#include "foundation/lang/Integer.h"
#include "foundation/lang/Throwable.h"

namespace util_ds {

using torvik_lang::_Boolean;
using torvik_lang::_Double;
using torvik_lang::_Integer;
using torvik_lang::_Number;
using torvik_lang::_S;
using torvik_lang::throwRefException;
using torvik_util::_Enumeration;

namespace {

bool isSwitch(const _Ref<_String>& arg) {
    if (!arg) throwRefException(0);
    return arg->size() > 0 && arg->charAt(0) == '-';
}

}  // namespace

// The pairs of sets being merged, innermost first. A set that holds itself, directly
// or further down, would otherwise make the merge recurse without end.
struct _Parameters::Merge {
    _Parameters* target;
    _Parameters* source;
    Merge* outer;
};

void _Parameters::add(const _Ref<_Hashtable>& other, bool overwrite) {
    if (!other) throwRefException(0);
    for (_Ref<_Enumeration> keys = other->keys(); keys->hasMoreElements();) {
        _Ref<_Object> key = keys->nextElement();
        if (overwrite || !containsKey(key)) put(key, other->get(key));
    }
}

_Ref<_Parameters> _Parameters::set(const _Ref<_String>& name, double value) {
    put(_Ref<_Object>(name), new _Double(value));
    return this;
}

_Ref<_Parameters> _Parameters::set(const _Ref<_String>& name, const _Ref<_Object>& value) {
    put(_Ref<_Object>(name), value);
    return this;
}

_Ref<_Parameters> _Parameters::set(const _Ref<_String>& name, int value) {
    put(_Ref<_Object>(name), new _Integer(value));
    return this;
}

_Ref<_Parameters> _Parameters::set(const _Ref<_String>& name, bool value) {
    put(_Ref<_Object>(name), new _Boolean(value));
    return this;
}

bool _Parameters::getBoolean(char const* name, bool def) { return getBoolean(_S(name), def); }

bool _Parameters::getBoolean(const _Ref<_String>& name, bool def) {
    _Ref<_Object> value = get(_Ref<_Object>(name));
    if (_Boolean* b = dynamic_cast<_Boolean*>(value.get())) return b->booleanValue();
    if (_Number* n = dynamic_cast<_Number*>(value.get())) return n->intValue() != 0;
    return def;
}

_Ref<_String> _Parameters::getString(char const* name, char const* def) {
    return getString(_S(name), def ? _S(def) : nullptr);
}

_Ref<_String> _Parameters::getString(const _Ref<_String>& name, const _Ref<_String>& def) {
    _Ref<_Object> value = get(_Ref<_Object>(name));
    return value ? value->toString() : def;
}

int _Parameters::getInt(char const* name, int def) { return getInt(_S(name), def); }

int _Parameters::getInt(const _Ref<_String>& name, int def) {
    _Ref<_Object> value = get(_Ref<_Object>(name));
    if (_Number* n = dynamic_cast<_Number*>(value.get())) return n->intValue();
    if (_String* s = dynamic_cast<_String*>(value.get())) {
        try {
            return _Integer::parseInt(s, 10);
        } catch (torvik_lang::Throwable&) {
            return def;
        }
    }
    return def;
}

double _Parameters::getDouble(char const* name, double def) { return getDouble(_S(name), def); }

double _Parameters::getDouble(const _Ref<_String>& name, double def) {
    _Ref<_Object> value = get(_Ref<_Object>(name));
    if (_Number* n = dynamic_cast<_Number*>(value.get())) return n->doubleValue();
    return def;
}

bool _Parameters::isSet(const _Ref<_String>& name) { return containsKey(_Ref<_Object>(name)); }

_Ref<_Object> _Parameters::getObject(const _Ref<_String>& name) { return get(_Ref<_Object>(name)); }

_Ref<_Parameters> _Parameters::getParameters(char const* name) { return getParameters(_S(name)); }

_Ref<_Parameters> _Parameters::getParameters(const _Ref<_String>& name) {
    return dynamic_cast<_Parameters*>(get(_Ref<_Object>(name)).get());
}

_Ref<_Vector> _Parameters::getVector(const _Ref<_String>& name) {
    return dynamic_cast<_Vector*>(get(_Ref<_Object>(name)).get());
}

void _Parameters::addDeep(_Ref<_Parameters> other) { addDeep(other, nullptr); }

void _Parameters::addDeep(const _Ref<_Parameters>& other, Merge* outer) {
    if (!other) throwRefException(0);
    // Merging a set into itself changes nothing; a pair already being merged further
    // out is a cycle and is merged there.
    if (other.get() == this) return;
    for (Merge* m = outer; m; m = m->outer) {
        if (m->target == this && m->source == other.get()) return;
    }
    Merge merge{this, other.get(), outer};

    _Ref<_String> dot = _S(".");
    for (_Ref<_Enumeration> keys = other->keys(); keys->hasMoreElements();) {
        _Ref<_Object> key = keys->nextElement();
        _Ref<_Object> theirs = other->get(key);
        if (!containsKey(key)) {
            put(key, theirs);
            continue;
        }
        _Ref<_Object> mine = get(key);
        _Ref<_Parameters> mySet = dynamic_cast<_Parameters*>(mine.get());
        _Ref<_Parameters> theirSet = dynamic_cast<_Parameters*>(theirs.get());
        if (mySet && theirSet) {
            mySet->addDeep(theirSet, &merge);
        } else if (!mySet && !theirSet) {
            put(key, theirs);
        } else if (mySet) {
            mySet->put(_Ref<_Object>(dot), theirs);
        } else {
            put(key, _Ref<_Object>(theirSet));
            theirSet->put(_Ref<_Object>(dot), mine);
        }
    }
}

_Ref<_String> _Parameters::interpretCommandLine(_Ref<_ArgumentArray> args) {
    if (!args) throwRefException(0);
    int n = args->length;
    for (int i = 0; i < n; ++i) {
        _Ref<_String> arg = args->data[i];
        if (!isSwitch(arg)) continue;
        _Ref<_String> name = arg->substring(1);
        if (i + 1 < n && !isSwitch(args->data[i + 1])) {
            set(name, _Ref<_Object>(args->data[i + 1]));
            ++i;
        } else {
            set(name, true);
        }
    }
    if (n == 0 || isSwitch(args->data[n - 1])) return nullptr;
    return args->data[n - 1];
}

}  // namespace util_ds
