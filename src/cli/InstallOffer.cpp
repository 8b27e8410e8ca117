#include "InstallOffer.h"

#include "Installer.h"

#include "core/Dialogs.h"

namespace plx {

bool offerInstallation(Registry& registry, Dialogs& dialogs, const std::function<QString()>& chooseBaseFolder)
{
    if (dialogs.show(MessageIcon::Question, kOfferInstallationText, MessageButtons::YesNo, DefaultButton::First) !=
        kAnswerYes)
        return false;
    const QString base = chooseBaseFolder();
    if (base.isEmpty())
        return false;
    Installer installer(registry, {base});
    if (installer.run())
        return true;
    dialogs.show(MessageIcon::Critical, installer.error(), MessageButtons::Ok, DefaultButton::First);
    return false;
}

} // namespace plx
