#include "app/AboutPage.h"

CAboutPage::CAboutPage(View& view, glimsel_app::Desktop& desktop)
    : mailAddress(MAIL_ADDRESS), webAddress(WEB_ADDRESS), view(view), desktop(desktop) {}

std::string CAboutPage::buildVersion() {
#ifdef GLIMSEL_VERSION_TEXT
    return GLIMSEL_VERSION_TEXT;
#else
    return "???";
#endif
}

void CAboutPage::updateVersionText() {
    std::string version = desktop.fileVersion();
    versionText = std::string(VERSION_PREFIX) + (version.empty() ? "???" : version);
    view.showState(*this);
}

void CAboutPage::onSendMail() {
    if (!desktop.openAddress("mailto:" + mailAddress)) view.showMessage(CANT_OPEN_MAIL);
}

void CAboutPage::onOpenPage() {
    if (!desktop.openAddress(webAddress)) view.showMessage(CANT_OPEN_PAGE);
}
