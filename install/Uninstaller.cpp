#include "Installer.h"

#include "InstallNames.h"
#include "InstallSteps.h"
#include "ProgmanCommands.h"


namespace {

class OpenKey {
public:
    OpenKey(HKEY root, const std::string& path) {
        if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key_) != ERROR_SUCCESS) key_ = nullptr;
    }
    ~OpenKey() {
        if (key_) ::RegCloseKey(key_);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    explicit operator bool() const { return key_ != nullptr; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

bool HasSubkeys(HKEY key) {
    char name[512];
    return ::RegEnumKeyA(key, 0, name, sizeof name) == ERROR_SUCCESS;
}

// Deletes the product's key under the company's, and the company's key when
// no other product is left in it.
void RemoveProductKey(HKEY root, const char* company, const char* product) {
    bool companyEmpty = false;
    {
        OpenKey companyKey(root, std::string("SOFTWARE\\") + company);
        if (!companyKey) return;
        ::RegDeleteKeyA(companyKey.get(), product);
        companyEmpty = !HasSubkeys(companyKey.get());
    }
    if (!companyEmpty) return;
    OpenKey software(root, "SOFTWARE");
    if (software) ::RegDeleteKeyA(software.get(), company);
}

}  // namespace

void RemoveRegistryKeys(const char* company, const char* product) {
    RemoveProductKey(HKEY_LOCAL_MACHINE, company, product);
    {
        OpenKey productKey(HKEY_CURRENT_USER, std::string("SOFTWARE\\") + company + "\\" + product);
        if (productKey) {
            ::RegDeleteKeyA(productKey.get(), "Keys");
            ::RegDeleteKeyA(productKey.get(), "State");
        }
    }
    RemoveProductKey(HKEY_CURRENT_USER, company, product);
    OpenKey uninstall(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
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
