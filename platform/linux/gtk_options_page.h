// The options page of the settings sheet in GTK: the controls that show a CSaverDlg's
// state and report the user's actions to it. The page's rules stay in CSaverDlg; this
// view only translates between GTK's signals and the page's events.
#pragma once

#include <gtk/gtk.h>

#include <string>

#include "app/SaverDlg.h"

namespace glimsel_gtk {

class GtkOptionsPage : public CSaverDlg::View {
public:
    GtkOptionsPage();
    ~GtkOptionsPage() override;
    GtkOptionsPage(const GtkOptionsPage&) = delete;
    GtkOptionsPage& operator=(const GtkOptionsPage&) = delete;

    // Connects the controls to the page; until then they report nothing.
    void attach(CSaverDlg& page, GtkWindow* owner);
    // The page's top widget, for the notebook.
    GtkWidget* widget() const { return box; }
    // Shows every control that the page may hide, so that the sheet can be measured
    // at its largest.
    void showEverything();

    // ---- CSaverDlg::View ----
    void showState(const CSaverDlg& page) override;
    bool askYesNo(char const* text) override;
    bool chooseFolder(char const* title, std::string& folder) override;

    // The scroll code of GTK's scroll type on a horizontal bar; false for a type
    // that a horizontal bar never sends.
    static bool scrollCodeOf(GtkScrollType type, ScrollCode& code);
    // The scroll code of a key on a horizontal bar; false for other keys.
    static bool scrollCodeOfKey(guint keyval, ScrollCode& code);

private:
    struct Bar {
        GtkOptionsPage* view;
        ScrollBarId id;
        GtkWidget* scale;
    };

    GtkWidget* makeBar(Bar& bar, ScrollBarId id);
    GtkWidget* makeFrame(char const* title, GtkWidget* child);
    // Hands a scroll event to the page and shows the position it gives.
    void scroll(Bar& bar, ScrollCode code, int thumbPosition);
    void setBarValue(Bar& bar, int position);

    static gboolean onChangeValue(GtkRange* range, GtkScrollType type, gdouble value, gpointer bar);
    static gboolean onKeyPress(GtkWidget* widget, GdkEventKey* event, gpointer bar);
    static gboolean onKeyRelease(GtkWidget* widget, GdkEventKey* event, gpointer bar);
    static gboolean onButtonRelease(GtkWidget* widget, GdkEventButton* event, gpointer bar);
    static void onFlashToggled(GtkToggleButton* button, gpointer view);
    static void onUseFolderClicked(GtkButton* button, gpointer view);
    static void onUseDatabaseClicked(GtkButton* button, gpointer view);
    static void onChoiceToggled(GtkToggleButton* button, gpointer choice);

    // One check box of the "More" section.
    struct Choice {
        GtkOptionsPage* view;
        FolderChoice id;
        GtkWidget* check;
        gulong handler;
    };
    GtkWidget* makeChoices();

    CSaverDlg* page = nullptr;
    GtkWindow* owner = nullptr;
    // True while showState puts values into the controls: their signals are the
    // page's own changes, not the user's.
    bool updating = false;

    GtkWidget* box;
    GtkWidget* folderLabel;
    GtkWidget* useFolderButton;
    GtkWidget* countLabel;
    Bar speed;
    Bar flash;
    GtkWidget* flashCheck;
    GtkWidget* flashFrame;
    GtkWidget* useDatabaseButton;
    gulong flashToggledHandler = 0;
    Choice choices[FOLDER_CHOICES] = {};
};

}  // namespace glimsel_gtk
