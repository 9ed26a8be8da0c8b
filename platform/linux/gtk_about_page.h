// The about page of the settings sheet in GTK: the version line, the program's icon,
// the contact lines with their buttons and the acknowledgement. The texts and the
// buttons' rules stay in CAboutPage.
#pragma once

#include <gtk/gtk.h>

#include <string>

#include "app/AboutPage.h"

namespace glimsel_gtk {

class GtkAboutPage : public CAboutPage::View {
public:
    GtkAboutPage();
    ~GtkAboutPage() override;
    GtkAboutPage(const GtkAboutPage&) = delete;
    GtkAboutPage& operator=(const GtkAboutPage&) = delete;

    // Connects the buttons to the page and gives it the way to open addresses.
    void attach(CAboutPage& page, GtkWindow* owner);
    GtkWidget* widget() const { return box; }

    // ---- CAboutPage::View ----
    void showState(const CAboutPage& page) override;
    void showMessage(char const* text) override;

    // Opens a "mailto:" or web address with the user's default program.
    static bool openAddress(const std::string& address);
    // The program's icon at `size` pixels: glimsel.svg beside the program, else null.
    static GdkPixbuf* programIcon(int size);

private:
    static void onSendMailClicked(GtkButton* button, gpointer view);
    static void onOpenPageClicked(GtkButton* button, gpointer view);

    CAboutPage* page = nullptr;
    GtkWindow* owner = nullptr;

    GtkWidget* box;
    GtkWidget* versionLabel;
    GtkWidget* mailEntry;
    GtkWidget* webEntry;
    GtkWidget* sendMailButton;
    GtkWidget* openPageButton;
};

}  // namespace glimsel_gtk
