#include "dialup/site_connection.h"

#include "diagnostics/faults.h"
#include "store/globals.h"

namespace regwiz::dialup {

using diagnostics::ResumeNext;

void SetRegistrationDialParams(platform::RasDialParams& params)
{
    ResumeNext([&] { params.SetEntryName(std::string(ServiceDomain)); });
    ResumeNext([&] { params.SetUserName(kRegistrationUser); });
    ResumeNext([&] { params.SetPassword(kRegistrationPassword); });
    ResumeNext([&] { params.SetDialOption(true); });
}

long ConnState(platform::RasAccess& ras)
{
    long state = platform::ras::Disconnected;
    ResumeNext([&] { state = ras.Dialer().DialParams().ConnState(); });
    return state;
}

bool CheckConnection(platform::RasAccess* ras)
{
    if (ras == nullptr)
        return false;
    return ras->Dialer().DialParams().ConnState() == platform::ras::Connected;
}

void HangUp(platform::RasAccess* ras)
{
    if (ras == nullptr)
        return;
    bool flag = true;
    ResumeNext([&] { ras->Dialer().HangUp(flag); });
}

} // namespace regwiz::dialup
