#include "sources/FolderWalk.h"

#include <utility>

FolderWalk::FolderWalk(std::string rootPath, char sep) : root(std::move(rootPath)), separator(sep) {
    glimsel_os::FolderId id;
    if (!glimsel_os::realFolder(root.c_str(), id)) {
        // A root given through a link is still walked; only links beneath it are not.
        if (!glimsel_os::pathExists(root.c_str())) return;
    } else {
        seen.insert(id);
    }
    queue.push_back({"", 0});
}

std::string FolderWalk::full(const std::string& relative) const {
    if (relative.empty()) return root;
    if (!root.empty() && root.back() == separator) return root + relative;
    return root + separator + relative;
}

bool FolderWalk::next(std::string& relative) {
    if (queue.empty()) return false;
    Pending folder = std::move(queue.front());
    queue.pop_front();
    if (folder.depth < kMaxDepth) {
        const std::string path = full(folder.relative);
        std::unique_ptr<glimsel_os::DirectorySearch> search = glimsel_os::findFiles((path + separator + "*").c_str());
        std::string name;
        while (search && search->next(name)) {
            // Dot names are hidden folders, the folder itself and its parent.
            if (name.empty() || name[0] == '.') continue;
            const std::string child = folder.relative.empty() ? name : folder.relative + separator + name;
            glimsel_os::FolderId id;
            if (!glimsel_os::realFolder(full(child).c_str(), id) || !seen.insert(id).second) continue;
            if (seen.size() > kMaxFolders) break;
            queue.push_back({child, folder.depth + 1});
        }
    }
    relative = std::move(folder.relative);
    return true;
}
