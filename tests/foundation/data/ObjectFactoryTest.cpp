// Creating objects by class name, from the registry or from extension modules.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "foundation/lang/Class.h"
#include "foundation/lang/L.h"
#include "foundation/lang/ObjectFactory.h"
#include "foundation/lang/Throwable.h"
#include "foundation/support/App.h"
#include "foundation/support/BaseLogger.h"
#include "tests/kit/TempDir.h"

using namespace torvik_lang;

namespace {

int moduleLoads = 0;

constexpr char const* PLUGGED = "class factory_test::_Plugged";

// Keeps every line handed to the application log.
class Recorder : public util::_BaseLogger {
public:
    Recorder() : _BaseLogger(nullptr, nullptr) {}
    void addString(const _Ref<_String>& text) override { lines.push_back(text->c_str()); }
    std::vector<std::string> lines;
};

// Runs each test in an empty working folder, with the log recorded and the module table
// not yet read.
class ObjectFactory : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.ok());
        previousDir = std::filesystem::current_path();
        std::filesystem::current_path(dir.path);
        previousLog = util::App::log;
        recorder = new Recorder();
        util::App::log = _Ref<util::_ILogger>(recorder);
        forgetObjectDescription();
    }
    void TearDown() override {
        util::App::log = previousLog;
        std::filesystem::current_path(previousDir);
        forgetObjectDescription();
    }

    // The message of the exception that createObject throws, or "" when it throws none.
    static std::string failure(char const* name, char const* module = nullptr) {
        try {
            createObject(_S(name), module);
        } catch (Throwable& t) {
            return t.messageText();
        }
        return "";
    }
    static std::string cantCreate(char const* name) {
        return L::getString("{Can't create object '%s'} de{Konnte Objekt '%s' nicht anlegen}", name)->c_str();
    }
    static std::string cantLoad(char const* module, char const* name) {
        return std::string("\n") + L::getString("Could not load DLL '%s' for object '%s'", module, name)->c_str();
    }

    TempDir dir;
    std::filesystem::path previousDir;
    _Ref<util::_ILogger> previousLog;
    _Ref<Recorder> recorder;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) void glimselFactoryModuleLoaded() { ++moduleLoads; }

TEST_F(ObjectFactory, MakesAnEmptyStringByItsTypeName) {
    _Ref<_Object> made = createObject(_S("class torvik_lang::_String"), nullptr);
    _String* s = dynamic_cast<_String*>(made.get());
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->length(), 0);
    EXPECT_NE(s, _String::emptyString.get()) << "a new string each time";
    EXPECT_NE(createObject(_S("class torvik_lang::_String"), nullptr).get(), made.get());

    _Ref<_Object> plain = createObject(_S("class torvik_lang::_Object"), nullptr);
    ASSERT_TRUE(plain);
    EXPECT_STREQ(plain->getClass()->getName()->c_str(), "class torvik_lang::_Object");
    EXPECT_TRUE(recorder->lines.empty()) << "the description file is not read";
}

TEST_F(ObjectFactory, WithoutDescriptionFileLogsOnceAndThrows) {
    EXPECT_EQ(failure("class nowhere::_Thing"), cantCreate("class nowhere::_Thing"));
    ASSERT_EQ(recorder->lines.size(), 1u);
    EXPECT_EQ(recorder->lines[0], "\nCould not read object description file 'Torvik.dr'");
    // The file is read once per process.
    EXPECT_EQ(failure("class nowhere::_Other"), cantCreate("class nowhere::_Other"));
    EXPECT_EQ(recorder->lines.size(), 1u);
    EXPECT_THROW(createObject(nullptr, nullptr), Throwable);
}

TEST_F(ObjectFactory, DescriptionFileNamesTheModuleOfEachClass) {
    dir.write("Torvik.dr",
              "early::_Class\r\n"
              "$missing-one.so\r\n"
              "a::_B\r\n"
              "\r\n"
              "a::_Only\n"
              "$missing-two.so\n"
              "\n"
              "a::_C\n"
              "a::_B");
    struct Case {
        char const* name;
        char const* module;  // null: the file names none
    } cases[] = {
        {"class early::_Class", nullptr},
        {"class a::_Only", "missing-one.so"},
        {"class a::_C", "missing-two.so"},
        // A later line for the same class wins.
        {"class a::_B", "missing-two.so"},
        {"class a::_Unlisted", nullptr},
    };
    for (const Case& c : cases) {
        recorder->lines.clear();
        EXPECT_EQ(failure(c.name), cantCreate(c.name)) << c.name;
        if (c.module) {
            ASSERT_EQ(recorder->lines.size(), 1u) << c.name;
            EXPECT_EQ(recorder->lines[0], cantLoad(c.module, c.name));
        } else {
            EXPECT_TRUE(recorder->lines.empty()) << c.name;
        }
    }
}

TEST_F(ObjectFactory, LoadsTheModuleOnFirstRequestOnly) {
    dir.write("Torvik.dr", std::string("$") + GLIMSEL_FACTORY_MODULE + "\nfactory_test::_Plugged\n");
    int loadsBefore = moduleLoads;
    _Ref<_Object> first = createObject(_S(PLUGGED), nullptr);
    ASSERT_TRUE(first);
    EXPECT_STREQ(first->toString()->c_str(), "plugged");
    EXPECT_STREQ(first->getClass()->getName()->c_str(), PLUGGED);
    // A test run that loaded the module earlier finds the class registered already.
    EXPECT_LE(moduleLoads - loadsBefore, 1);
    EXPECT_GE(moduleLoads, 1);

    int loadsAfterFirst = moduleLoads;
    _Ref<_Object> second = createObject(_S(PLUGGED), nullptr);
    ASSERT_TRUE(second);
    EXPECT_NE(second.get(), first.get());
    EXPECT_EQ(moduleLoads, loadsAfterFirst);
    EXPECT_TRUE(recorder->lines.empty());
}

TEST_F(ObjectFactory, ExplicitModuleIsLoadedWithoutTheFile) {
    // The module loads, but does not provide the class.
    EXPECT_EQ(failure("class factory_test::_Absent", GLIMSEL_FACTORY_MODULE), cantCreate("class factory_test::_Absent"));
    EXPECT_TRUE(recorder->lines.empty());
    // After that load the module's own class is known.
    EXPECT_TRUE(createObject(_S(PLUGGED), nullptr));

    EXPECT_EQ(failure("class x::_Y", "no-such-module.so"), cantCreate("class x::_Y"));
    ASSERT_EQ(recorder->lines.size(), 1u);
    EXPECT_EQ(recorder->lines[0], cantLoad("no-such-module.so", "class x::_Y"));
}

TEST_F(ObjectFactory, RegistrationReplacesTheEarlierCreator) {
    struct Counting : IObjectCreator {
        _Ref<_Object> create() override {
            ++made;
            return new _Object();
        }
        int made = 0;
    };
    static Counting first, second;
    registerObjectType("class factory_test::_Counted", &first);
    registerObjectType("class factory_test::_Counted", &second);
    EXPECT_TRUE(createObject(_S("class factory_test::_Counted"), nullptr));
    EXPECT_EQ(first.made, 0);
    EXPECT_EQ(second.made, 1);
    EXPECT_THROW(registerObjectType(nullptr, &first), Throwable);
    EXPECT_THROW(registerObjectType("class factory_test::_Null", nullptr), Throwable);
}
