#include "platform/linux/linux_desktop.h"

#include "app/AboutPage.h"
#include "platform/linux/gtk_about_page.h"
#include "platform/linux/gtk_settings_sheet.h"
#include "platform/linux/x11_window_system.h"
#include "sources/FreewareIdb.h"

namespace glimsel_linux {

int LinuxDesktop::runSettingsSheet(CSaverApp& app) { return glimsel_gtk::runSettingsSheet(app); }

torvik_lang::_Ref<torvik_io::_File> LinuxDesktop::findDatabase() { return findDatabaseFile(); }

glimsel_ui::NativeWindow LinuxDesktop::rootWindow() { return windows ? windows->rootWindow() : 0; }

bool LinuxDesktop::openAddress(const std::string& address) { return glimsel_gtk::GtkAboutPage::openAddress(address); }

std::string LinuxDesktop::fileVersion() { return CAboutPage::buildVersion(); }

}  // namespace glimsel_linux
