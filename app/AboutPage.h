// The about page of the settings sheet: the program's version, the acknowledgement of
// the JPEG library, and two contact lines with buttons that open the user's mail
// program and web browser.
#pragma once

#include <functional>
#include <string>

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

    explicit CAboutPage(View& view);

    // Opens an address ("mailto:..." or a web page) in the user's programs; false
    // when that fails. Supplied by the platform.
    std::function<bool(const std::string& address)> openAddress;
    // The program's own version as major.minor.release, or "???" without one.
    std::function<std::string()> fileVersion;

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
};
