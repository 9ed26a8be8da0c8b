// The about page of the settings sheet: the program's version, the acknowledgement of
// the JPEG library, and two contact lines with buttons that open the user's mail
// program and web browser.
#pragma once

#include <string>

#include "app/Desktop.h"

class CAboutPage {
public:
    class View {
    public:
        virtual ~View() = default;
        virtual void showState(const CAboutPage& page) = 0;
        // A message box with an OK button.
        virtual void showMessage(char const* text) = 0;
    };

    static constexpr char const* VERSION_PREFIX = "Glimsel Version ";
    static constexpr char const* HEADING = "If you have questions or want further information:";
    static constexpr char const* ACKNOWLEDGEMENT = "JPG handling uses Independent JPEG Group's JPEG library";
    static constexpr char const* MAIL_ADDRESS = "glimsel@example.org";
    static constexpr char const* WEB_ADDRESS = "https://glimsel.example.org/";
    static constexpr char const* CANT_OPEN_PAGE =
        "Can't open the web page.\nPlease check your browser configuration or try it manually.";
    static constexpr char const* CANT_OPEN_MAIL = "Can't open the email client.\nPlease check your configuration.";

    // The desktop opens the addresses and knows the program's version.
    CAboutPage(View& view, glimsel_app::Desktop& desktop);

    std::string versionText;
    std::string mailAddress;
    std::string webAddress;

    // Runs when the page is initialised and every time it is shown.
    void updateVersionText();
    void onSendMail();
    void onOpenPage();

    // The version the build gave the program, as major.minor.release, or "???".
    static std::string buildVersion();

private:
    View& view;
    glimsel_app::Desktop& desktop;
};
