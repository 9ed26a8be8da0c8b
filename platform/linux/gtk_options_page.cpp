#include "platform/linux/gtk_options_page.h"

#include <algorithm>
#include <cmath>

#include "platform/linux/gtk_x11.h"

namespace glimsel_gtk {

namespace {

constexpr int BAR_MIN = 1;
constexpr int BAR_MAX = 100;
constexpr int SPACING = 6;
constexpr int FRAME_PADDING = 8;
// Room for "Using prepackaged images - No directory".
constexpr int FOLDER_CHARS = 40;

GtkWidget* leftLabel(char const* text) {
    GtkWidget* label = gtk_label_new(text);
    gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
    return label;
}

// GTK reports fractional positions while the slider is dragged; the page counts whole
// steps, and a far-off value must not overflow on the way.
int roundedPosition(gdouble value) {
    if (!(value > -1e6)) return -1000000;
    if (value > 1e6) return 1000000;
    return static_cast<int>(std::lround(value));
}

// GTK sizes the folder chooser to its contents, which may exceed a small screen; it
// gets a moderate size, centred over the sheet.
void fitChooser(GtkWidget* chooser, gpointer owner) {
    constexpr int WIDTH = 640;
    constexpr int HEIGHT = 440;
    gtk_window_resize(GTK_WINDOW(chooser), WIDTH, HEIGHT);
    if (!owner) return;
    int x, y, width, height;
    gtk_window_get_position(GTK_WINDOW(owner), &x, &y);
    gtk_window_get_size(GTK_WINDOW(owner), &width, &height);
    gtk_window_move(GTK_WINDOW(chooser), std::max(0, x + (width - WIDTH) / 2), std::max(0, y + (height - HEIGHT) / 2));
}

}  // namespace

GtkOptionsPage::GtkOptionsPage() {
    box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 10);
    g_object_ref_sink(box);
    gtk_container_set_border_width(GTK_CONTAINER(box), 12);

    // The picture folder and its button.
    folderLabel = leftLabel("");
    // A fixed width: the sheet is sized once, whatever folder is shown; a longer path
    // loses its middle.
    gtk_label_set_ellipsize(GTK_LABEL(folderLabel), PANGO_ELLIPSIZE_MIDDLE);
    gtk_label_set_width_chars(GTK_LABEL(folderLabel), FOLDER_CHARS);
    gtk_label_set_max_width_chars(GTK_LABEL(folderLabel), FOLDER_CHARS);
    gtk_widget_set_hexpand(folderLabel, TRUE);
    useFolderButton = gtk_button_new_with_label("Use folder");
    gtk_widget_set_valign(useFolderButton, GTK_ALIGN_CENTER);
    GtkWidget* folderRow = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 10);
    gtk_box_pack_start(GTK_BOX(folderRow), folderLabel, TRUE, TRUE, 0);
    gtk_box_pack_end(GTK_BOX(folderRow), useFolderButton, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(box), makeFrame("Image folder", folderRow), FALSE, FALSE, 0);

    countLabel = leftLabel("");
    gtk_widget_set_margin_start(countLabel, 4);
    gtk_box_pack_start(GTK_BOX(box), countLabel, FALSE, FALSE, 0);

    gtk_box_pack_start(GTK_BOX(box), makeFrame("Speed", makeBar(speed, ScrollBarId::Speed)), FALSE, FALSE, 0);

    flashCheck = gtk_check_button_new_with_label("Flash images");
    gtk_box_pack_start(GTK_BOX(box), flashCheck, FALSE, FALSE, 0);

    flashFrame = makeFrame("Flash speed", makeBar(flash, ScrollBarId::FlashSpeed));
    gtk_box_pack_start(GTK_BOX(box), flashFrame, FALSE, FALSE, 0);

    gtk_box_pack_start(GTK_BOX(box), makeFrame("More", makeChoices()), FALSE, FALSE, 0);

    // "the button on the bottom of this page", as the question before leaving the
    // database puts it.
    useDatabaseButton = gtk_button_new_with_label("Use image database");
    gtk_widget_set_halign(useDatabaseButton, GTK_ALIGN_START);
    gtk_widget_set_valign(useDatabaseButton, GTK_ALIGN_END);
    gtk_box_pack_end(GTK_BOX(box), useDatabaseButton, TRUE, TRUE, 0);

    gtk_widget_show_all(box);
}

GtkOptionsPage::~GtkOptionsPage() { g_object_unref(box); }

GtkWidget* GtkOptionsPage::makeFrame(char const* title, GtkWidget* child) {
    GtkWidget* frame = gtk_frame_new(title);
    gtk_container_set_border_width(GTK_CONTAINER(child), FRAME_PADDING);
    gtk_container_add(GTK_CONTAINER(frame), child);
    return frame;
}

GtkWidget* GtkOptionsPage::makeBar(Bar& bar, ScrollBarId id) {
    bar.view = this;
    bar.id = id;
    // Steps of 1 and pages of 10, as the page's scroll codes count them.
    bar.scale = gtk_scale_new_with_range(GTK_ORIENTATION_HORIZONTAL, BAR_MIN, BAR_MAX, 1);
    gtk_range_set_increments(GTK_RANGE(bar.scale), 1, 10);
    gtk_range_set_round_digits(GTK_RANGE(bar.scale), 0);
    gtk_scale_set_draw_value(GTK_SCALE(bar.scale), FALSE);
    gtk_widget_set_hexpand(bar.scale, TRUE);
    gtk_widget_add_events(bar.scale, GDK_KEY_RELEASE_MASK | GDK_BUTTON_RELEASE_MASK);

    GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, SPACING);
    GtkWidget* slow = gtk_label_new("Slow");
    GtkWidget* fast = gtk_label_new("Fast");
    gtk_label_set_xalign(GTK_LABEL(fast), 1.0f);
    gtk_box_pack_start(GTK_BOX(row), slow, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(row), bar.scale, TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(row), fast, FALSE, FALSE, 0);
    return row;
}

GtkWidget* GtkOptionsPage::makeChoices() {
    // Two by two: the page stays about as tall as before.
    GtkWidget* grid = gtk_grid_new();
    gtk_grid_set_column_spacing(GTK_GRID(grid), 2 * SPACING);
    gtk_grid_set_row_spacing(GTK_GRID(grid), SPACING);
    for (int i = 0; i < FOLDER_CHOICES; ++i) {
        Choice& c = choices[i];
        c.view = this;
        c.id = static_cast<FolderChoice>(i);
        c.check = gtk_check_button_new_with_label(CSaverDlg::choiceLabel(c.id));
        gtk_grid_attach(GTK_GRID(grid), c.check, i % 2, i / 2, 1, 1);
    }
    return grid;
}

void GtkOptionsPage::attach(CSaverDlg& p, GtkWindow* window) {
    page = &p;
    owner = window;
    for (Bar* bar : {&speed, &flash}) {
        g_signal_connect(bar->scale, "change-value", G_CALLBACK(onChangeValue), bar);
        g_signal_connect(bar->scale, "key-press-event", G_CALLBACK(onKeyPress), bar);
        g_signal_connect(bar->scale, "key-release-event", G_CALLBACK(onKeyRelease), bar);
        g_signal_connect(bar->scale, "button-release-event", G_CALLBACK(onButtonRelease), bar);
    }
    flashToggledHandler = g_signal_connect(flashCheck, "toggled", G_CALLBACK(onFlashToggled), this);
    g_signal_connect(useFolderButton, "clicked", G_CALLBACK(onUseFolderClicked), this);
    g_signal_connect(useDatabaseButton, "clicked", G_CALLBACK(onUseDatabaseClicked), this);
    for (Choice& c : choices) c.handler = g_signal_connect(c.check, "toggled", G_CALLBACK(onChoiceToggled), &c);
}

void GtkOptionsPage::showEverything() {
    gtk_widget_show(flashFrame);
    gtk_widget_show(useDatabaseButton);
}

// ---- The page's state into the controls ----------------------------------------------

void GtkOptionsPage::showState(const CSaverDlg& p) {
    updating = true;
    gtk_label_set_text(GTK_LABEL(folderLabel), p.folderText.c_str());
    // The label may cut a long path short; the tooltip shows it whole.
    gtk_widget_set_tooltip_text(folderLabel, p.folderText.c_str());
    gtk_label_set_text(GTK_LABEL(countLabel), p.countText.c_str());
    setBarValue(speed, p.speedPos);
    g_signal_handler_block(flashCheck, flashToggledHandler);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(flashCheck), p.flashOn);
    g_signal_handler_unblock(flashCheck, flashToggledHandler);
    setBarValue(flash, p.flashPos);
    gtk_widget_set_visible(flashFrame, p.flashOn);
    for (int i = 0; i < FOLDER_CHOICES; ++i) {
        Choice& c = choices[i];
        if (c.handler) g_signal_handler_block(c.check, c.handler);
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(c.check), p.choiceOn[i]);
        if (c.handler) g_signal_handler_unblock(c.check, c.handler);
    }
    gtk_widget_set_visible(useDatabaseButton, p.databaseButtonVisible);
    gtk_widget_set_sensitive(useDatabaseButton, p.databaseButtonEnabled);
    updating = false;
}

void GtkOptionsPage::setBarValue(Bar& bar, int position) {
    // Setting the value emits no change-value, so the page hears nothing of it.
    gtk_range_set_value(GTK_RANGE(bar.scale), position);
}

// ---- Scroll events ---------------------------------------------------------------------

bool GtkOptionsPage::scrollCodeOf(GtkScrollType type, ScrollCode& code) {
    switch (type) {
        case GTK_SCROLL_STEP_BACKWARD:
        case GTK_SCROLL_STEP_LEFT:
        case GTK_SCROLL_STEP_UP: code = ScrollCode::LineLeft; return true;
        case GTK_SCROLL_STEP_FORWARD:
        case GTK_SCROLL_STEP_RIGHT:
        case GTK_SCROLL_STEP_DOWN: code = ScrollCode::LineRight; return true;
        case GTK_SCROLL_PAGE_BACKWARD:
        case GTK_SCROLL_PAGE_LEFT:
        case GTK_SCROLL_PAGE_UP: code = ScrollCode::PageLeft; return true;
        case GTK_SCROLL_PAGE_FORWARD:
        case GTK_SCROLL_PAGE_RIGHT:
        case GTK_SCROLL_PAGE_DOWN: code = ScrollCode::PageRight; return true;
        case GTK_SCROLL_START: code = ScrollCode::Left; return true;
        case GTK_SCROLL_END: code = ScrollCode::Right; return true;
        // Dragging the slider, a click that moves it there, the wheel.
        case GTK_SCROLL_JUMP: code = ScrollCode::ThumbTrack; return true;
        case GTK_SCROLL_NONE: break;
    }
    return false;
}

bool GtkOptionsPage::scrollCodeOfKey(guint keyval, ScrollCode& code) {
    switch (keyval) {
        case GDK_KEY_Left:
        case GDK_KEY_KP_Left:
        case GDK_KEY_Up:
        case GDK_KEY_KP_Up: code = ScrollCode::LineLeft; return true;
        case GDK_KEY_Right:
        case GDK_KEY_KP_Right:
        case GDK_KEY_Down:
        case GDK_KEY_KP_Down: code = ScrollCode::LineRight; return true;
        case GDK_KEY_Page_Up:
        case GDK_KEY_KP_Page_Up: code = ScrollCode::PageLeft; return true;
        case GDK_KEY_Page_Down:
        case GDK_KEY_KP_Page_Down: code = ScrollCode::PageRight; return true;
        case GDK_KEY_Home:
        case GDK_KEY_KP_Home: code = ScrollCode::Left; return true;
        case GDK_KEY_End:
        case GDK_KEY_KP_End: code = ScrollCode::Right; return true;
        default: return false;
    }
}

void GtkOptionsPage::scroll(Bar& bar, ScrollCode code, int thumbPosition) {
    if (!page || updating) return;
    setBarValue(bar, page->onHScroll(bar.id, code, thumbPosition));
}

gboolean GtkOptionsPage::onChangeValue(GtkRange*, GtkScrollType type, gdouble value, gpointer data) {
    Bar& bar = *static_cast<Bar*>(data);
    ScrollCode code;
    if (bar.view->scrollCodeOf(type, code)) bar.view->scroll(bar, code, roundedPosition(value));
    // The page set the bar; GTK's own change would bypass it.
    return TRUE;
}

// Plain keys go to the page directly, so that each key is exactly one scroll code;
// with Ctrl or Alt GTK's bindings run and come back through change-value.
gboolean GtkOptionsPage::onKeyPress(GtkWidget*, GdkEventKey* event, gpointer data) {
    Bar& bar = *static_cast<Bar*>(data);
    ScrollCode code;
    if ((event->state & (GDK_CONTROL_MASK | GDK_MOD1_MASK)) || !scrollCodeOfKey(event->keyval, code)) return FALSE;
    bar.view->scroll(bar, code, 0);
    return TRUE;
}

gboolean GtkOptionsPage::onKeyRelease(GtkWidget*, GdkEventKey* event, gpointer data) {
    Bar& bar = *static_cast<Bar*>(data);
    ScrollCode code;
    if ((event->state & (GDK_CONTROL_MASK | GDK_MOD1_MASK)) || !scrollCodeOfKey(event->keyval, code)) return FALSE;
    bar.view->scroll(bar, ScrollCode::EndScroll, 0);
    return FALSE;
}

gboolean GtkOptionsPage::onButtonRelease(GtkWidget*, GdkEventButton*, gpointer data) {
    Bar& bar = *static_cast<Bar*>(data);
    bar.view->scroll(bar, ScrollCode::EndScroll, 0);
    // GTK ends its own drag too.
    return FALSE;
}

// ---- Buttons ---------------------------------------------------------------------------

void GtkOptionsPage::onFlashToggled(GtkToggleButton* button, gpointer data) {
    auto* view = static_cast<GtkOptionsPage*>(data);
    if (!view->page || view->updating) return;
    view->page->onFlashClicked(gtk_toggle_button_get_active(button));
}

void GtkOptionsPage::onChoiceToggled(GtkToggleButton* button, gpointer data) {
    auto& choice = *static_cast<Choice*>(data);
    if (!choice.view->page || choice.view->updating) return;
    choice.view->page->onChoiceClicked(choice.id, gtk_toggle_button_get_active(button));
}

void GtkOptionsPage::onUseFolderClicked(GtkButton*, gpointer data) {
    auto* view = static_cast<GtkOptionsPage*>(data);
    if (view->page) view->page->onUseFolder();
}

void GtkOptionsPage::onUseDatabaseClicked(GtkButton*, gpointer data) {
    auto* view = static_cast<GtkOptionsPage*>(data);
    if (view->page) view->page->onUseDatabase();
}

// ---- Questions -------------------------------------------------------------------------

bool GtkOptionsPage::askYesNo(char const* text) {
    GtkWidget* dialog = gtk_message_dialog_new(owner, static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
                                               GTK_MESSAGE_QUESTION, GTK_BUTTONS_YES_NO, "%s", text);
    gtk_window_set_title(GTK_WINDOW(dialog), "Glimsel");
    // Enter answers Yes, the question box's first button.
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_YES);
    useDefaultVisual(dialog);
    int answer = gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
    return answer == GTK_RESPONSE_YES;
}

bool GtkOptionsPage::chooseFolder(char const* title, std::string& folder) {
    GtkWidget* dialog = gtk_file_chooser_dialog_new(title, owner, GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER, "_Cancel",
                                                    GTK_RESPONSE_CANCEL, "_Select", GTK_RESPONSE_ACCEPT, nullptr);
    gtk_file_chooser_set_local_only(GTK_FILE_CHOOSER(dialog), TRUE);
    useDefaultVisual(dialog);
    g_signal_connect_after(dialog, "map", G_CALLBACK(fitChooser), owner);
    if (!folder.empty()) {
        // The chooser opens where the pictures come from now ("." is the working folder).
        gchar* start = g_canonicalize_filename(folder.c_str(), nullptr);
        if (g_file_test(start, G_FILE_TEST_IS_DIR)) gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(dialog), start);
        g_free(start);
    }
    bool chosen = false;
    if (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT) {
        // Only a folder with a path in the file system will do.
        gchar* path = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog));
        if (path && *path) {
            folder = path;
            chosen = true;
        }
        g_free(path);
    }
    gtk_widget_destroy(dialog);
    return chosen;
}

}  // namespace glimsel_gtk
