#include "platform/linux/gtk_about_page.h"

#include "platform/linux/gtk_x11.h"
#include "platform/os.h"

namespace glimsel_gtk {

namespace {

constexpr int ICON_SIZE = 64;
// Shown when the program's own icon cannot be loaded.
constexpr char const* FALLBACK_ICON = "image-x-generic";

GtkWidget* wrappedLabel(char const* text) {
    GtkWidget* label = gtk_label_new(text);
    gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
    gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
    gtk_label_set_max_width_chars(GTK_LABEL(label), 60);
    return label;
}

// A read-only field: its text can be selected and copied, not changed.
GtkWidget* addressEntry() {
    GtkWidget* entry = gtk_entry_new();
    gtk_editable_set_editable(GTK_EDITABLE(entry), FALSE);
    gtk_entry_set_has_frame(GTK_ENTRY(entry), TRUE);
    gtk_widget_set_hexpand(entry, TRUE);
    return entry;
}

}  // namespace

GtkAboutPage::GtkAboutPage() {
    box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 14);
    g_object_ref_sink(box);
    gtk_container_set_border_width(GTK_CONTAINER(box), 12);

    // The icon beside the version line.
    GdkPixbuf* pixbuf = programIcon(ICON_SIZE);
    GtkWidget* icon = pixbuf ? gtk_image_new_from_pixbuf(pixbuf) : gtk_image_new_from_icon_name(FALLBACK_ICON, GTK_ICON_SIZE_DIALOG);
    if (pixbuf) g_object_unref(pixbuf);
    else gtk_image_set_pixel_size(GTK_IMAGE(icon), ICON_SIZE);
    versionLabel = gtk_label_new(CAboutPage::VERSION_PREFIX);
    gtk_label_set_xalign(GTK_LABEL(versionLabel), 0.0f);
    gtk_label_set_selectable(GTK_LABEL(versionLabel), FALSE);
    GtkWidget* top = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 16);
    gtk_box_pack_start(GTK_BOX(top), icon, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(top), versionLabel, TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(box), top, FALSE, FALSE, 4);

    gtk_box_pack_start(GTK_BOX(box), wrappedLabel(CAboutPage::HEADING), FALSE, FALSE, 0);

    // The two contact lines: an address and the button that opens it.
    mailEntry = addressEntry();
    webEntry = addressEntry();
    sendMailButton = gtk_button_new_with_label("Send mail");
    openPageButton = gtk_button_new_with_label("Open Page");
    GtkWidget* contacts = gtk_grid_new();
    gtk_grid_set_row_spacing(GTK_GRID(contacts), 8);
    gtk_grid_set_column_spacing(GTK_GRID(contacts), 10);
    gtk_grid_set_column_homogeneous(GTK_GRID(contacts), FALSE);
    gtk_grid_attach(GTK_GRID(contacts), mailEntry, 0, 0, 1, 1);
    gtk_grid_attach(GTK_GRID(contacts), sendMailButton, 1, 0, 1, 1);
    gtk_grid_attach(GTK_GRID(contacts), webEntry, 0, 1, 1, 1);
    gtk_grid_attach(GTK_GRID(contacts), openPageButton, 1, 1, 1, 1);
    // Both buttons as wide as the wider one.
    GtkSizeGroup* buttons = gtk_size_group_new(GTK_SIZE_GROUP_HORIZONTAL);
    gtk_size_group_add_widget(buttons, sendMailButton);
    gtk_size_group_add_widget(buttons, openPageButton);
    g_object_unref(buttons);
    gtk_box_pack_start(GTK_BOX(box), contacts, FALSE, FALSE, 0);

    GtkWidget* acknowledgement = wrappedLabel(CAboutPage::ACKNOWLEDGEMENT);
    gtk_widget_set_valign(acknowledgement, GTK_ALIGN_END);
    gtk_box_pack_end(GTK_BOX(box), acknowledgement, TRUE, TRUE, 0);

    gtk_widget_show_all(box);
}

GtkAboutPage::~GtkAboutPage() { g_object_unref(box); }

void GtkAboutPage::attach(CAboutPage& p, GtkWindow* window) {
    page = &p;
    owner = window;
    g_signal_connect(sendMailButton, "clicked", G_CALLBACK(onSendMailClicked), this);
    g_signal_connect(openPageButton, "clicked", G_CALLBACK(onOpenPageClicked), this);
}

void GtkAboutPage::showState(const CAboutPage& p) {
    gtk_label_set_text(GTK_LABEL(versionLabel), p.versionText.c_str());
    gtk_entry_set_text(GTK_ENTRY(mailEntry), p.mailAddress.c_str());
    gtk_entry_set_text(GTK_ENTRY(webEntry), p.webAddress.c_str());
}

void GtkAboutPage::showMessage(char const* text) {
    GtkWidget* dialog = gtk_message_dialog_new(owner, static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
                                               GTK_MESSAGE_WARNING, GTK_BUTTONS_OK, "%s", text);
    gtk_window_set_title(GTK_WINDOW(dialog), "Glimsel");
    useDefaultVisual(dialog);
    gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
}

bool GtkAboutPage::openAddress(const std::string& address) {
    GError* error = nullptr;
    gboolean ok = g_app_info_launch_default_for_uri(address.c_str(), nullptr, &error);
    if (error) g_error_free(error);
    return ok;
}

GdkPixbuf* GtkAboutPage::programIcon(int size) {
    std::string program = glimsel_os::programPath();
    if (program.empty()) return nullptr;
    gchar* folder = g_path_get_dirname(program.c_str());
    gchar* path = g_build_filename(folder, "glimsel.svg", nullptr);
    GdkPixbuf* pixbuf = gdk_pixbuf_new_from_file_at_size(path, size, size, nullptr);
    g_free(path);
    g_free(folder);
    return pixbuf;
}

void GtkAboutPage::onSendMailClicked(GtkButton*, gpointer data) {
    auto* view = static_cast<GtkAboutPage*>(data);
    if (view->page) view->page->onSendMail();
}

void GtkAboutPage::onOpenPageClicked(GtkButton*, gpointer data) {
    auto* view = static_cast<GtkAboutPage*>(data);
    if (view->page) view->page->onOpenPage();
}

}  // namespace glimsel_gtk
