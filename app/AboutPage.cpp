#include "app/AboutPage.h"

CAboutPage::CAboutPage(View& view)
    : fileVersion(&CAboutPage::buildVersion), mailAddress(MAIL_ADDRESS), webAddress(WEB_ADDRESS), view(view) {}

std::string CAboutPage::buildVersion() {
#ifdef GLIMSEL_VERSION_TEXT
    return GLIMSEL_VERSION_TEXT;
#else
    return "???";
#endif
}

void CAboutPage::updateVersionText() {
    std::string version = fileVersion ? fileVersion() : std::string();
    versionText = std::string(VERSION_PREFIX) + (version.empty() ? "???" : version);
    view.showState(*this);
}

void CAboutPage::onSendMail() {
    if (!openAddress || !openAddress("mailto:" + mailAddress)) view.showMessage(CANT_OPEN_MAIL);
}

void CAboutPage::onOpenPage() {
    if (!openAddress || !openAddress(webAddress)) view.showMessage(CANT_OPEN_PAGE);
}
