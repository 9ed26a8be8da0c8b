// A progress bar for the tool's long runs, drawn on standard error only when it is a
// terminal; elsewhere (pipes, logs, the build) it prints nothing.
#pragma once

#include <chrono>

class Progress {
public:
    // `total` steps; short runs show no bar. The bar is gone once the object is.
    Progress(const char* label, int total);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // `done` of the steps are finished.
    void update(int done);
    // Clears the bar so that a message can be printed on a clean line.
    void clear();

private:
    void draw(int done);

    const char* label;
    int total;
    bool shown;
    bool drawn = false;
    std::chrono::steady_clock::time_point last;
};
