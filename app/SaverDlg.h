// The options page of the settings sheet: where pictures come from, the speed of the
// show, and the flash effect. Every change is stored at once and applied at once to
// the sheet's live preview; there is no Apply step and Cancel undoes nothing.
//
// The page's rules live here; a platform's view shows the state and reports the
// user's actions (the GTK page on Linux, a dialog on Windows, tests headless).
#pragma once

#include <string>

class CSaverApp;
class CDrawWnd;

// The scroll codes of a horizontal scroll bar.
enum class ScrollCode { LineLeft, LineRight, PageLeft, PageRight, ThumbPosition, ThumbTrack, Left, Right, EndScroll };

enum class ScrollBarId { Speed, FlashSpeed };

// The folder source's choices on the "More" section, in the order they are shown.
enum class FolderChoice { Upright, Subfolders, NoRepeats, MoreTypes };
constexpr int FOLDER_CHOICES = 4;

class CSaverDlg {
public:
    // What the page needs of its platform.
    class View {
    public:
        virtual ~View() = default;
        // Copies the page's state into the controls.
        virtual void showState(const CSaverDlg& page) = 0;
        // A Yes/No question; true for Yes.
        virtual bool askYesNo(char const* text) = 0;
        // The platform's folder chooser; false when the user cancels.
        virtual bool chooseFolder(char const* title, std::string& folder) = 0;
    };

    static constexpr char const* DATABASE_TEXT = "Using prepackaged images - No directory";
    static constexpr char const* LEAVE_DATABASE_QUESTION =
        "You are using Glimsel with a prepackaged image libary.\n"
        "If you change the folder, you can use your own images for display.\n"
        "You can switch back using the button on the bottom of this page.\n"
        "Do you want to use your own images?";
    static constexpr char const* CHOOSER_TITLE = "Select image folder";

    CSaverDlg(CSaverApp& app, View& view);

    // The sheet's live preview; null while there is none.
    CDrawWnd* preview = nullptr;

    // ---- State shown by the controls ----
    int speedPos = 50;
    std::string folderText;
    std::string countText;
    bool flashOn = false;
    int flashPos = 50;
    bool databaseButtonVisible = false;
    bool databaseButtonEnabled = false;
    bool choiceOn[FOLDER_CHOICES] = {};

    // ---- Events ----
    void initPage();
    void updatePathInfo();
    void setFlash(int sleep);
    // A scroll bar event; returns the bar's new position.
    int onHScroll(ScrollBarId bar, ScrollCode code, int thumbPosition);
    void onUseFolder();
    void onUseDatabase();
    void onFlashClicked(bool checked);
    // Stores the choice at once and lists the folder anew with it.
    void onChoiceClicked(FolderChoice choice, bool checked);

    // The "Config" value that holds a choice, and its check box's text.
    static char const* choiceEntry(FolderChoice choice);
    static char const* choiceLabel(FolderChoice choice);

    // The position a scroll code gives, from the current one (1 to 100).
    static int scrollPosition(int current, ScrollCode code, int thumbPosition);

private:
    CSaverApp& app;
    View& view;
};
