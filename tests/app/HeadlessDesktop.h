// A desktop for tests: answers as the test sets it and counts what was asked.
#pragma once

#include <string>
#include <vector>

#include "app/Desktop.h"

class HeadlessDesktop : public glimsel_app::Desktop {
public:
    int sheetAnswer = -1;  // the settings sheet closes with Cancel
    torvik_lang::_Ref<torvik_io::_File> database;
    int databaseQueries = 0;
    glimsel_ui::NativeWindow root = 0;
    bool addressesOpen = false;
    std::vector<std::string> opened;
    std::string version;

    int runSettingsSheet(CSaverApp&) override { return sheetAnswer; }
    torvik_lang::_Ref<torvik_io::_File> findDatabase() override {
        ++databaseQueries;
        return database;
    }
    glimsel_ui::NativeWindow rootWindow() override { return root; }
    bool openAddress(const std::string& address) override {
        opened.push_back(address);
        return addressesOpen;
    }
    std::string fileVersion() override { return version; }
};
