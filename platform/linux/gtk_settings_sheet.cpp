#include "platform/linux/gtk_settings_sheet.h"

#include <gtk/gtk.h>

#include "app/OptionsSheet.h"
#include "app/SaverApp.h"
#include "platform/linux/gtk_about_page.h"
#include "platform/linux/gtk_options_page.h"
#include "platform/linux/gtk_x11.h"
#include "show/DrawWnd.h"

namespace glimsel_gtk {

namespace {

constexpr int BORDER = 10;

class SettingsSheet {
public:
    explicit SettingsSheet(CSaverApp& app) : app(app), sheet(app, optionsView, aboutView) {}
    ~SettingsSheet() {
        if (window) gtk_widget_destroy(window);
        if (loop) g_main_loop_unref(loop);
    }
    SettingsSheet(const SettingsSheet&) = delete;
    SettingsSheet& operator=(const SettingsSheet&) = delete;

    int run() {
        build();
        loop = g_main_loop_new(nullptr, FALSE);
        gtk_widget_show(window);
        g_main_loop_run(loop);
        closing = true;
        int result = sheet.close(closedWithOk, activePage);
        gtk_widget_destroy(window);
        window = nullptr;
        gdk_display_flush(gdk_display_get_default());
        return result;
    }

private:
    void build() {
        window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
        useDefaultVisual(window);
        gtk_window_set_title(GTK_WINDOW(window), COptionsSheet::CAPTION);
        gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
        gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
        if (GdkPixbuf* icon = GtkAboutPage::programIcon(64)) {
            gtk_window_set_icon(GTK_WINDOW(window), icon);
            g_object_unref(icon);
        }
        optionsView.attach(sheet.optionsPage, GTK_WINDOW(window));
        aboutView.attach(sheet.aboutPage, GTK_WINDOW(window));

        notebook = gtk_notebook_new();
        gtk_notebook_append_page(GTK_NOTEBOOK(notebook), optionsView.widget(), gtk_label_new("Options"));
        gtk_notebook_append_page(GTK_NOTEBOOK(notebook), aboutView.widget(), gtk_label_new("About"));

        GtkWidget* okButton = gtk_button_new_with_mnemonic("_OK");
        GtkWidget* cancelButton = gtk_button_new_with_mnemonic("_Cancel");
        GtkWidget* buttons = gtk_button_box_new(GTK_ORIENTATION_HORIZONTAL);
        gtk_button_box_set_layout(GTK_BUTTON_BOX(buttons), GTK_BUTTONBOX_END);
        gtk_box_set_spacing(GTK_BOX(buttons), 6);
        gtk_container_add(GTK_CONTAINER(buttons), okButton);
        gtk_container_add(GTK_CONTAINER(buttons), cancelButton);

        // The pages and the buttons; the preview strip goes to the right of them.
        pages = gtk_box_new(GTK_ORIENTATION_VERTICAL, BORDER);
        gtk_container_set_border_width(GTK_CONTAINER(pages), BORDER);
        gtk_box_pack_start(GTK_BOX(pages), notebook, TRUE, TRUE, 0);
        gtk_box_pack_start(GTK_BOX(pages), buttons, FALSE, FALSE, 0);
        previewArea = gtk_drawing_area_new();
        content = gtk_fixed_new();
        gtk_fixed_put(GTK_FIXED(content), pages, 0, 0);
        gtk_container_add(GTK_CONTAINER(window), content);
        gtk_widget_show_all(content);

        gtk_widget_set_can_default(okButton, TRUE);
        gtk_widget_grab_default(okButton);
        g_signal_connect(okButton, "clicked", G_CALLBACK(onOk), this);
        g_signal_connect(cancelButton, "clicked", G_CALLBACK(onCancel), this);
        g_signal_connect(window, "delete-event", G_CALLBACK(onDelete), this);
        g_signal_connect(window, "key-press-event", G_CALLBACK(onKeyPress), this);
        g_signal_connect(notebook, "switch-page", G_CALLBACK(onSwitchPage), this);

        sheet.optionsPage.initPage();
        sheet.aboutPage.updateVersionText();

        // The sheet is measured with every control that a page may show, so that it
        // never has to grow when one appears.
        optionsView.showEverything();
        GtkRequisition natural;
        gtk_widget_get_preferred_size(pages, nullptr, &natural);
        optionsView.showState(sheet.optionsPage);
        gtk_widget_set_size_request(pages, natural.width, natural.height);

        // The sheet is laid out in GTK's units, which a scaled screen makes larger than
        // its pixels, so that the preview strip grows with the pages. The drawing
        // window counts the screen's pixels: its size, and the scale of its pictures
        // to the screen, are those of the area it fills.
        int scale = gtk_widget_get_scale_factor(window);
        COptionsSheet::Layout layout = COptionsSheet::layout(app, natural.width, natural.height);
        gtk_widget_set_size_request(content, layout.sheet.width, layout.sheet.height);
        gtk_widget_set_size_request(previewArea, layout.preview.width(), layout.preview.height());
        gtk_fixed_put(GTK_FIXED(content), previewArea, layout.preview.left, layout.preview.top);
        gtk_widget_show(previewArea);

        // The drawing window lives in an X window of its own at the preview's place; as
        // a child of another program's window it fills that window, as a desktop
        // preview fills its pane.
        gtk_widget_realize(previewArea);
        if (uint64_t area = nativeWindow(gtk_widget_get_window(previewArea))) {
            glimsel_ui::Rect pixels{0, 0, layout.preview.width() * scale, layout.preview.height() * scale};
            // Without a preview the pages still work; they skip what concerns it.
            sheet.createPreview(area, pixels, app.computePreviewScale(pixels.width(), pixels.height()));
        }

        // A stored page that names no page leaves the first one open.
        int page = sheet.initialPage();
        if (page >= 0 && page < gtk_notebook_get_n_pages(GTK_NOTEBOOK(notebook))) {
            gtk_notebook_set_current_page(GTK_NOTEBOOK(notebook), page);
        }
    }

    void finish(bool ok) {
        if (finished) return;
        finished = true;
        closedWithOk = ok;
        activePage = gtk_notebook_get_current_page(GTK_NOTEBOOK(notebook));
        // The preview goes first, while its parent still exists, and at once: a click
        // that arrives during a flash is handled inside the flash, which then stops
        // with its next step instead of growing its picture to the end.
        if (sheet.preview) sheet.preview->destroyWindow();
        if (loop) g_main_loop_quit(loop);
    }

    static void onOk(GtkButton*, gpointer self) { static_cast<SettingsSheet*>(self)->finish(true); }
    static void onCancel(GtkButton*, gpointer self) { static_cast<SettingsSheet*>(self)->finish(false); }

    // The close box ends the sheet like Cancel.
    static gboolean onDelete(GtkWidget*, GdkEvent*, gpointer self) {
        static_cast<SettingsSheet*>(self)->finish(false);
        return TRUE;
    }

    static gboolean onKeyPress(GtkWidget*, GdkEventKey* event, gpointer self) {
        if (event->keyval != GDK_KEY_Escape || (event->state & gtk_accelerator_get_default_mod_mask())) return FALSE;
        static_cast<SettingsSheet*>(self)->finish(false);
        return TRUE;
    }

    // The about page refreshes its version line every time it is shown.
    static void onSwitchPage(GtkNotebook*, GtkWidget*, guint page, gpointer self) {
        auto* s = static_cast<SettingsSheet*>(self);
        // Taking the notebook down switches pages too.
        if (page == COptionsSheet::ABOUT_PAGE && !s->closing) s->sheet.aboutPage.updateVersionText();
    }

    CSaverApp& app;
    GtkOptionsPage optionsView;
    GtkAboutPage aboutView;
    COptionsSheet sheet;
    GtkWidget* window = nullptr;
    GtkWidget* notebook = nullptr;
    GtkWidget* pages = nullptr;
    GtkWidget* content = nullptr;
    GtkWidget* previewArea = nullptr;
    GMainLoop* loop = nullptr;
    bool finished = false;
    bool closedWithOk = false;
    int activePage = 0;
    bool closing = false;
};

}  // namespace

bool initGtk() {
    static int state = 0;  // 0: not tried, 1: open, -1: failed
    if (state == 0) {
        // The preview is an X window inside the sheet: GTK must draw on X11 too.
        gdk_set_allowed_backends("x11");
        state = gtk_init_check(nullptr, nullptr) ? 1 : -1;
    }
    return state > 0;
}

int runSettingsSheet(CSaverApp& app) {
    if (!initGtk()) return -1;
    SettingsSheet sheet(app);
    return sheet.run();
}

}  // namespace glimsel_gtk
