#pragma once

#include <filesystem>
#include <string>

#include "store/globals.h"
#include "wizard/reg_wizard.h"

namespace regwiz::exchange {

// Where the registration server is reached (RegSvrHttp / RegSvrFtp under the
// system's key, else the service's own host).
std::string RegistrationHttpUrl(modRegistry& store);
std::string RegistrationFtpUrl(modRegistry& store);

// Entering page 10: fetches the access-number list and offers the numbers of
// the member's area code, or a choice by state and city.
void AccessNumberEntry(wizard::frmRegWizard& wizard);

// Downloads "phone_list.csv" (asking to try again when it fails) and loads it:
// 0, or the error number of the last attempt.
long GetPhoneList(wizard::frmRegWizard& wizard);

// Loads a comma-separated list (State, City, AreaCode, Number, Extra) into
// the table: every record, in file order.
void ReadPhoneList(AccessNumberTable& table, const std::filesystem::path& file);

void FillAccessNumbers(wizard::frmRegWizard& wizard);
void FillAccessStates(wizard::frmRegWizard& wizard);
void FillAccessCities(wizard::frmRegWizard& wizard, const std::string& state);
void FillAccessNumbersByCity(wizard::frmRegWizard& wizard, const std::string& state,
                             const std::string& city);

void cboAccessState_Click(wizard::frmRegWizard& wizard);
void cboAccessCity_Click(wizard::frmRegWizard& wizard);
void cmdSelectAccessNumber_Click(wizard::frmRegWizard& wizard);

bool FileExists(std::string path);

} // namespace regwiz::exchange
