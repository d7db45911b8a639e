#include "Installer.h"

#include "InstallNames.h"
#include "InstallSteps.h"
#include "ProgmanCommands.h"

#include "../framework/Handles.h"


namespace {

bool HasSubkeys(HKEY key) {
    char name[512];
    return ::RegEnumKeyA(key, 0, name, sizeof name) == ERROR_SUCCESS;
}

// Deletes the product's key under the company's, and the company's key when
// no other product is left in it.
void RemoveProductKey(HKEY root, const char* company, const char* product) {
    bool companyEmpty = false;
    {
        const RegistryKey companyKey =
            OpenRegistryKey(root, (std::string("SOFTWARE\\") + company).c_str(), KEY_ALL_ACCESS);
        if (!companyKey) return;
        ::RegDeleteKeyA(companyKey.get(), product);
        companyEmpty = !HasSubkeys(companyKey.get());
    }
    if (!companyEmpty) return;
    const RegistryKey software = OpenRegistryKey(root, "SOFTWARE", KEY_ALL_ACCESS);
    if (software) ::RegDeleteKeyA(software.get(), company);
}

}  // namespace

void RemoveRegistryKeys(const char* company, const char* product) {
    RemoveProductKey(HKEY_LOCAL_MACHINE, company, product);
    {
        const std::string path = std::string("SOFTWARE\\") + company + "\\" + product;
        const RegistryKey productKey = OpenRegistryKey(HKEY_CURRENT_USER, path.c_str(), KEY_ALL_ACCESS);
        if (productKey) {
            ::RegDeleteKeyA(productKey.get(), "Keys");
            ::RegDeleteKeyA(productKey.get(), "State");
        }
    }
    RemoveProductKey(HKEY_CURRENT_USER, company, product);
    const RegistryKey uninstall =
        OpenRegistryKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", KEY_ALL_ACCESS);
    if (uninstall) ::RegDeleteKeyA(uninstall.get(), product);
}

int UninstallProgram(const std::string& programDir) {
    if (!SendProgmanCommands(UninstallProgmanCommands())) {
        // The batch file stops on the failure: files without keys would be worse.
        ::MessageBoxA(nullptr, "Velmorax could not be uninstalled: the shell's DDE service is not available. Nothing "
                               "was removed.", kProductName, MB_ICONERROR);
        return 0;
    }
    UnregisterCodecDriver(programDir);
    RemoveRegistryKeys(kCompanyName, kProductName);
    return 1;
}
