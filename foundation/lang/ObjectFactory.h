// Creation of objects by class name.
//
// Classes register a creator under their run-time type name, "class " followed by the
// namespace-qualified class name (the text of getClass()). A request for a class that
// is not registered may load the extension module that provides it, as named by the
// object description file "Torvik.dr" in the current directory, and try again: the
// module's static initialisation registers its classes.
//
// Torvik.dr is plain text. A line "$module" starts the section of that module file; the
// lines after it name the classes it provides (without "class "); empty lines, and
// class lines before the first "$" line, are ignored.
#pragma once

#include "foundation/lang/String.h"

namespace torvik_lang {

class IObjectCreator {
public:
    virtual _Ref<_Object> create() = 0;

protected:
    ~IObjectCreator() = default;
};

// Makes a default-constructed T.
template <class T>
class ObjectCreator : public IObjectCreator {
public:
    _Ref<_Object> create() override { return new T(); }
};

// Lets a creator be stored in a hashtable; the creator is not owned.
class _ObjectCreatorWrapper : public _Object {
public:
    explicit _ObjectCreatorWrapper(IObjectCreator* creator) : creator(creator) {}

    IObjectCreator* creator;
};

// Registers `creator` under the type name `name`, replacing an earlier creator of that
// name. The creator must live as long as the process.
void registerObjectType(char const* name, IObjectCreator* creator);

// A new object of the class named `name`, loading the module that provides it when
// needed: the module `module`, or when that is null the one Torvik.dr names. Throws
// "Can't create object" when the class stays unknown.
_Ref<_Object> createObject(const _Ref<_String>& name, char const* module);

// Forgets the module table read from Torvik.dr, so that the next request reads the file
// again. The program reads the file once; tests that write it use this.
void forgetObjectDescription();

}  // namespace torvik_lang
