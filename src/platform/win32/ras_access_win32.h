#pragma once

#include <windows.h>

#include <ras.h>

#include <vector>

#include "platform/event_loop.h"
#include "platform/ras_access.h"

// The dial-up component over Remote Access Service (rasapi32): the default
// phone book, its entries, the system's dial-up devices, and dialling.
//
// The entry's settings by position, as RASENTRYA holds them (Booleans are
// option bits; addresses are "a.b.c.d" texts):
//
// | pos | setting                              | RASENTRYA                           |
// |-----|--------------------------------------|-------------------------------------|
// |  1  | local phone number                   | szLocalPhoneNumber                  |
// |  2  | area code                            | szAreaCode                          |
// |  3  | country ID                           | dwCountryID                         |
// |  4  | country code                         | dwCountryCode                       |
// |  5  | use country and area codes           | dwfOptions RASEO_UseCountryAndAreaCodes |
// |  6  | promote alternate numbers            | dwfOptions RASEO_PromoteAlternates  |
// |  7  | device name                          | szDeviceName                        |
// |  8  | device type                          | szDeviceType                        |
// |  9  | terminal before dialling             | dwfOptions RASEO_TerminalBeforeDial |
// | 10  | terminal after dialling              | dwfOptions RASEO_TerminalAfterDial  |
// | 11  | require encrypted password           | dwfOptions RASEO_RequireEncryptedPw |
// | 12  | require Microsoft encrypted password | dwfOptions RASEO_RequireMsEncryptedPw |
// | 13  | require data encryption              | dwfOptions RASEO_RequireDataEncryption |
// | 14  | IP header compression                | dwfOptions RASEO_IpHeaderCompression |
// | 15  | software compression                 | dwfOptions RASEO_SwCompression      |
// | 16  | log on to the network                | dwfOptions RASEO_NetworkLogon       |
// | 17  | disable LCP extensions               | dwfOptions RASEO_DisableLcpExtensions |
// | 18  | modem lights                         | dwfOptions RASEO_ModemLights        |
// | 19  | use the logon credentials            | dwfOptions RASEO_UseLogonCredentials |
// | 20  | NetBEUI                              | dwfNetProtocols RASNP_NetBEUI       |
// | 21  | IPX                                  | dwfNetProtocols RASNP_Ipx           |
// | 22  | TCP/IP                               | dwfNetProtocols RASNP_Ip            |
// | 23  | secure local files                   | dwfOptions RASEO_SecureLocalFiles   |
// | 24  | IP address                           | ipaddr                              |
// | 25  | use the IP address                   | dwfOptions RASEO_SpecificIpAddr     |
// | 26  | DNS server                           | ipaddrDns                           |
// | 27  | alternate DNS server                 | ipaddrDnsAlt                        |
// | 28  | use the name servers                 | dwfOptions RASEO_SpecificNameServers |
// | 29  | WINS server                          | ipaddrWins                          |
// | 30  | alternate WINS server                | ipaddrWinsAlt                       |
// | 31  | frame size                           | dwFrameSize                         |
// | 32  | remote default gateway               | dwfOptions RASEO_RemoteDefaultGateway |
// | 33  | script                               | szScript                            |
// | 34  | autodial DLL                         | szAutodialDll                       |
// | 35  | autodial function                    | szAutodialFunc                      |
// | 36  | X.25 PAD type                        | szX25PadType                        |
// | 37  | PPP framing                          | dwFramingProtocol RASFP_Ppp         |
// | 38  | SLIP framing                         | dwFramingProtocol RASFP_Slip        |
// | 40  | X.25 address                         | szX25Address                        |
// | 41  | X.25 facilities                      | szX25Facilities                     |
// | 43  | X.25 user data                       | szX25UserData                       |
//
// Positions 39, 42, 44 and 45 have no field: the object keeps what is set
// there until the next OpenEntry, but the phone book does not store it.
namespace regwiz::platform::win32 {

// The RAS functions the adapter calls, so tests can put a scripted fake in
// place of rasapi32. The phone book is always the default one (nullptr).
class RasApi {
public:
    virtual ~RasApi() = default;
    // RasEnumDevicesA: `bytes` is the buffer's size in, the size needed out.
    virtual DWORD EnumDevices(RASDEVINFOA* devices, DWORD& bytes, DWORD& count) = 0;
    virtual DWORD ValidateEntryName(const char* name) = 0;
    // RasGetEntryPropertiesA without device information.
    virtual DWORD GetEntryProperties(const char* name, RASENTRYA* entry, DWORD& bytes) = 0;
    virtual DWORD SetEntryProperties(const char* name, const RASENTRYA* entry, DWORD bytes) = 0;
    virtual DWORD DeleteEntry(const char* name) = 0;
    // RasDialA with a RasDialFunc1 notifier (called on a thread of RAS's own).
    virtual DWORD Dial(RASDIALPARAMSA& params, RASDIALFUNC1 notifier, HRASCONN& connection) = 0;
    virtual DWORD HangUp(HRASCONN connection) = 0;
    virtual DWORD GetConnectStatus(HRASCONN connection, RASCONNSTATUSA& status) = 0;
    virtual DWORD GetErrorString(UINT error, char* text, DWORD size) = 0;
};

// The functions of rasapi32.
RasApi& SystemRasApi();

// The dial-up devices RAS lists (RasEnumDevicesA, as many as there are);
// returns its error number.
DWORD ListRasDevices(RasApi& api, std::vector<RASDEVINFOA>& devices);

// Dial-up components over `api`, their dial progress carried to `loop`'s
// thread. `api` and `loop` outlive the components.
RasAccessFactory MakeRasAccessFactory(EventLoop& loop, RasApi& api = SystemRasApi());

} // namespace regwiz::platform::win32
