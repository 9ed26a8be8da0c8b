#include "foundation/lang/ObjectFactory.h"

#include "foundation/containers/Hashtable.h"
#include "foundation/io/DataFile.h"
#include "foundation/lang/L.h"
#include "foundation/lang/Throwable.h"
#include "foundation/support/App.h"
#include "platform/os.h"

namespace torvik_lang {

using torvik_util::_Hashtable;

namespace {

constexpr char const* DESCRIPTION_FILE = "Torvik.dr";
constexpr char const* CANT_READ = "Could not read object description file '%s'";
constexpr char const* CANT_LOAD = "Could not load DLL '%s' for object '%s'";
constexpr char const* CANT_CREATE = "{Can't create object '%s'} de{Konnte Objekt '%s' nicht anlegen}";

ObjectCreator<_Object> objectCreator;
ObjectCreator<_String> stringCreator;

void putCreator(_Hashtable& registry, char const* name, IObjectCreator* creator) {
    if (!name || !creator) throwRefException(0);
    registry.put(_S(name), new _ObjectCreatorWrapper(creator));
}

// Class name → _ObjectCreatorWrapper. Made with the library's own two classes on first
// use, so that a module or another file's static initialiser may register first.
_Hashtable& registry() {
    static _Ref<_Hashtable> table = [] {
        _Ref<_Hashtable> t = new _Hashtable(17, 0.75f);
        _Object plainObject;
        _String emptyString;
        putCreator(*t, className(plainObject)->c_str(), &objectCreator);
        putCreator(*t, className(emptyString)->c_str(), &stringCreator);
        return t;
    }();
    return *table;
}

// "class " + class name → module name; null until the first request that needs it.
_Ref<_Hashtable>& moduleTable() {
    static _Ref<_Hashtable> table;
    return table;
}

// The registry is made during start-up whenever the factory is part of the program.
struct RegistryStartup {
    RegistryStartup() { registry(); }
} registryStartup;

void logLine(const _Ref<_String>& text) {
    // The log is a diagnostic aid: without one the text is dropped.
    _Ref<util::_ILogger> log = util::App::log;
    if (log) log->addLine(text);
}

_Ref<_Object> createRegistered(const _Ref<_String>& name) {
    _Ref<_Object> found = registry().get(_Ref<_Object>(name));
    _ObjectCreatorWrapper* wrapper = dynamic_cast<_ObjectCreatorWrapper*>(found.get());
    if (!wrapper || !wrapper->creator) return nullptr;
    return wrapper->creator->create();
}

// Fills `table` from the description file. A failure is logged and leaves the table as
// far as it was filled.
void readDescription(_Hashtable& table) {
    _Ref<torvik_io::_DataFile> file = new torvik_io::_DataFile();
    try {
        file->open(new torvik_io::_File(DESCRIPTION_FILE), "r");
        _Ref<_String> prefix = _S("class ");
        _Ref<_String> module;
        for (_Ref<_String> line = file->readLine(); line; line = file->readLine()) {
            if (line->size() == 0) continue;
            if (line->charAt(0) == '$') {
                module = line->substring(1);
            } else if (module) {
                table.put(_Ref<_Object>(*prefix + line), module);
            }
        }
        file->close();
    } catch (Throwable&) {
        logLine(L::getString(CANT_READ, DESCRIPTION_FILE));
    }
}

}  // namespace

void registerObjectType(char const* name, IObjectCreator* creator) { putCreator(registry(), name, creator); }

_Ref<_Object> createObject(const _Ref<_String>& name, char const* module) {
    if (!name) throwRefException(0);
    if (_Ref<_Object> made = createRegistered(name)) return made;

    _Ref<_String> moduleName;
    if (module) {
        moduleName = _S(module);
    } else {
        _Ref<_Hashtable>& modules = moduleTable();
        if (!modules) {
            modules = new _Hashtable(17, 0.75f);
            readDescription(*modules);
        }
        moduleName = dynamic_cast<_String*>(modules->get(_Ref<_Object>(name)).get());
    }

    if (moduleName) {
        if (glimsel_os::loadModule(moduleName->c_str())) {
            if (_Ref<_Object> made = createRegistered(name)) return made;
        } else {
            logLine(L::getString(CANT_LOAD, moduleName->c_str(), name->c_str()));
        }
    }
    throw Throwable(L::getString(CANT_CREATE, name->c_str()));
}

void forgetObjectDescription() { moduleTable() = nullptr; }

}  // namespace torvik_lang
