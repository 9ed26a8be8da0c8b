// glimsel-idb create: writes an image database from picture files and folders.
//
// Record 0 is reserved and empty; record k holds the k-th picture in the database's record
// layout (sources/IdbRecord.h). The database is written to a temporary file beside the
// output and renamed at the end, so a failed run never leaves a broken database behind.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/os.h"
#include "sources/ArrayFile.h"
#include "sources/FolderImageDatabase.h"
#include "sources/IdbRecord.h"
#include "tools/IdbCommand.h"
#include "tools/Progress.h"

namespace {

using img_lib::ImageType;
using torvik_lang::_Ref;

struct Picture {
    std::string path;
    ImageType type;
};

void usage(FILE* out) {
    std::fprintf(out,
                 "Usage: glimsel-idb create [--subfolders] [--more-types] OUT.idb PICTURE|FOLDER...\n\n"
                 "Writes the image database OUT.idb: one record per picture, in the order\n"
                 "given. A folder contributes its .jpg, .jpeg, .bmp and .gif files (not those\n"
                 "whose names begin with '.') in the order the saver lists them; with\n"
                 "--subfolders those of its subfolders too, with --more-types its .png files\n"
                 "too. The kind of each picture follows from its extension (.png included);\n"
                 "any other file is refused.\n");
}

std::string baseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// What a folder contributes, as the saver's choices of the same names.
struct FolderChoices {
    bool subfolders = false;
    bool moreTypes = false;
};

// Appends the pictures that `arg` names; false with a message.
bool collect(const char* arg, const FolderChoices& choices, std::vector<Picture>& out, std::string& error) {
    std::error_code ec;
    if (std::filesystem::is_directory(arg, ec)) {
        _Ref<_CImageDatabase> folder = new _CImageDatabase();
        folder->subfolders = choices.subfolders;
        folder->moreTypes = choices.moreTypes;
        folder->loadFolder(new torvik_io::_File(arg));
        folder->finishListing();
        for (int i = 0; i < folder->names->size(); ++i) {
            _Ref<torvik_lang::_String> name = folder->names->elementAt(i);
            _Ref<torvik_io::_File> file = new torvik_io::_File(folder->folder, name);
            out.push_back({file->getPath()->c_str(), folder->types->at(i)});
        }
        return true;
    }
    ImageType type;
    if (!_CImageDatabase::typeOfName(baseName(arg).c_str(), type, true)) {
        error = std::string("'") + arg + "' is not a .jpg, .jpeg, .bmp, .gif or .png file";
        return false;
    }
    out.push_back({arg, type});
    return true;
}

// The whole file behind the record header that holds its format code.
bool readRecord(const Picture& p, std::vector<char>& record, std::string& error) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(p.path, ec)) {
        error = "'" + p.path + "' is not a readable file";
        return false;
    }
    FILE* f = std::fopen(p.path.c_str(), "rb");
    if (!f) {
        error = "can't read '" + p.path + "': " + std::strerror(errno);
        return false;
    }
    const std::string header = idb_record::header(p.type);
    record.assign(header.begin(), header.end());
    char chunk[1 << 16];
    size_t n;
    bool tooLarge = false;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
        if (record.size() + n > static_cast<size_t>(INT_MAX)) {
            tooLarge = true;
            break;
        }
        record.insert(record.end(), chunk, chunk + n);
    }
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed || tooLarge) {
        error = "can't read '" + p.path + "'" + (tooLarge ? ": larger than 2 GiB" : "");
        return false;
    }
    return true;
}

int create(const char* output, const std::vector<Picture>& pictures) {
    const std::string temporary = glimsel_os::createTemporaryBeside(output);
    if (temporary.empty()) {
        std::fprintf(stderr, "glimsel-idb create: can't write beside '%s': %s\n", output, std::strerror(errno));
        return 1;
    }
    std::string error;
    try {
        _Ref<util_ds::_ArrayFile> database = new util_ds::_ArrayFile();
        database->create(new torvik_io::_File(temporary.c_str()), static_cast<int>(pictures.size()) + 1, 0);
        database->writeRecord(0, nullptr, 0);
        Progress progress("create", static_cast<int>(pictures.size()));
        std::vector<char> record;
        for (size_t i = 0; i < pictures.size() && error.empty(); ++i) {
            if (readRecord(pictures[i], record, error)) {
                database->writeRecord(static_cast<int>(i) + 1, record.data(), static_cast<int>(record.size()));
            }
            progress.update(static_cast<int>(i) + 1);
        }
        database->close();
    } catch (const torvik_lang::Throwable& e) {
        error = std::string("can't write the database: ") + e.messageText();
    }
    if (error.empty() && !glimsel_os::replaceFile(temporary.c_str(), output)) {
        error = std::string("can't rename '") + temporary + "' to '" + output + "': " + std::strerror(errno);
    }
    if (!error.empty()) {
        std::remove(temporary.c_str());
        std::fprintf(stderr, "glimsel-idb create: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s: %zu pictures\n", output, pictures.size());
    return 0;
}

int run(int argc, char** argv) {
    FolderChoices choices;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--subfolders") == 0) {
            choices.subfolders = true;
        } else if (std::strcmp(argv[i], "--more-types") == 0) {
            choices.moreTypes = true;
        } else {
            args.push_back(argv[i]);
        }
    }
    if (args.empty()) {
        usage(stderr);
        return 2;
    }
    std::vector<Picture> pictures;
    for (size_t i = 1; i < args.size(); ++i) {
        std::string error;
        if (!collect(args[i], choices, pictures, error)) {
            std::fprintf(stderr, "glimsel-idb create: %s\n", error.c_str());
            return 1;
        }
    }
    if (pictures.size() >= static_cast<size_t>(INT_MAX / util_ds::_ArrayFile::ENTRY_SIZE)) {
        std::fprintf(stderr, "glimsel-idb create: too many pictures\n");
        return 1;
    }
    return create(args[0], pictures);
}

}  // namespace

const IdbCommand createCommand = {"create", "write an image database from pictures and folders", run, usage};
