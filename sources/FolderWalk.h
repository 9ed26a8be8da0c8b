// The folders beneath a picture folder, one at a time, breadth first: to a bounded
// depth and number, never through a symbolic link (so never out of the tree), and never
// into a folder twice (a bind mount or a link that loops).
#pragma once

#include <cstddef>
#include <deque>
#include <set>
#include <string>

#include "platform/os.h"

class FolderWalk {
public:
    static constexpr int kMaxDepth = 8;
    static constexpr size_t kMaxFolders = 20000;

    // The walk starts at `root` itself; `separator` joins the names.
    FolderWalk(std::string root, char separator);

    // The next folder, as a path relative to the root ("" for the root), its own
    // subfolders queued behind; false once every folder was handed out.
    bool next(std::string& relative);
    bool done() const { return queue.empty(); }

private:
    struct Pending {
        std::string relative;
        int depth;
    };
    std::string full(const std::string& relative) const;

    std::string root;
    char separator;
    std::deque<Pending> queue;
    std::set<glimsel_os::FolderId> seen;
};
